# Precompiled headers: the standard library, Qt and GoogleTest headers that most files of a target
# parse again and again. One header is built per kind of target and the others reuse it, which
# needs their compile flags to be the same: with -Winvalid-pch (CMake adds it) and -Werror a
# target whose flags drift fails to build instead of silently parsing everything again.
option(KORU_PCH "Build with precompiled headers" ON)

set(KORU_PCH_STD
    <algorithm> <array> <atomic> <chrono> <cstdint> <cstdio> <cstdlib> <cstring> <filesystem>
    <fstream> <functional> <map> <memory> <mutex> <optional> <sstream> <string> <string_view>
    <thread> <utility> <vector>)
set(KORU_PCH_QT_CORE <QObject> <QString>)
set(KORU_PCH_QT_WIDGETS
    <QApplication> <QCheckBox> <QLabel> <QMenu> <QPainter> <QPointer> <QPushButton> <QWidget>)

# koru_pch(target KIND): `target` gets the precompiled header of KIND (core, gui, test or
# gui_test); the first target of a kind builds it, the others reuse it.
function(koru_pch target kind)
  if(NOT KORU_PCH)
    return()
  endif()
  get_property(owner GLOBAL PROPERTY KORU_PCH_OWNER_${kind})
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
    return()
  endif()
  set(headers ${KORU_PCH_STD} ${KORU_PCH_QT_CORE})
  if(kind MATCHES "gui")
    list(APPEND headers ${KORU_PCH_QT_WIDGETS})
  endif()
  if(kind MATCHES "test")
    list(APPEND headers <gtest/gtest.h>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
  set_property(GLOBAL PROPERTY KORU_PCH_OWNER_${kind} ${target})
endfunction()

# GCC 12 reports out-of-bounds and overlapping copies inside std::string's inlined members when
# the library comes from a precompiled header (the same files are clean with the headers parsed
# as text, where these warnings stay on).
if(KORU_PCH AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-array-bounds -Wno-restrict -Wno-stringop-overflow -Wno-stringop-overread)
endif()
