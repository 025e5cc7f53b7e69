# What `cmake --install` puts under the prefix: the three programs, the shipped data, the
# desktop entry, the icon, the AppStream metainfo and the manual pages.
set(KORU_APP_ID org.koru.KORU)

install(TARGETS koru koru-decode koru-encode koru-import-lirc koru-import-keymap RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/signatures.conf data/demo.mode2 DESTINATION ${CMAKE_INSTALL_DATADIR}/koru)
install(FILES data/desktop/${KORU_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/desktop/${KORU_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/icons/${KORU_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The PNG is rendered from the SVG: rsvg-convert -w 48 -h 48 ${KORU_APP_ID}.svg -o ${KORU_APP_ID}.png
install(FILES data/icons/${KORU_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)

# Manual pages, compressed the way Debian wants them (gzip -9n: no name, no time stamp).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(koru_man_pages)
foreach(page koru koru-decode koru-encode koru-import-lirc koru-import-keymap)
  set(source ${PROJECT_SOURCE_DIR}/data/man/${page}.1)
  set(output ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  list(APPEND koru_man_pages ${output})
endforeach()
add_custom_target(koru_man_pages ALL DEPENDS ${koru_man_pages})
install(FILES ${koru_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The user guide, the file formats and the development notes with their pictures: the manual
# pages point there.
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/koru
        FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

# Access to /dev/uinput for the logged-in user and the uinput module loaded at boot: KORU's keys
# and pointer moves on Wayland. The package puts them where udev and the module loader read
# them; they look in no other prefix, so an install elsewhere says what to copy where.
install(FILES packaging/60-koru-uinput.rules DESTINATION lib/udev/rules.d)
install(FILES packaging/koru-uinput.conf DESTINATION lib/modules-load.d)
install(CODE [[
  if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(koru_from "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib")
    message("KORU: udev and the module loader do not read ${CMAKE_INSTALL_PREFIX}/lib. "
            "For keys and pointer moves through /dev/uinput (Wayland), as root:\n"
            "  cp ${koru_from}/udev/rules.d/60-koru-uinput.rules /etc/udev/rules.d/\n"
            "  cp ${koru_from}/modules-load.d/koru-uinput.conf /etc/modules-load.d/\n"
            "  modprobe uinput; udevadm control --reload; udevadm trigger --sysname-match=uinput")
  endif()
]])
