# The linker: a test program with its debug information links in a fraction of ld.bfd's time
# with mold or lld. KORU_LINKER=auto takes the first of them that links here, else the
# toolchain's default; any other value is passed to -fuse-ld as it is.
set(KORU_LINKER "auto" CACHE STRING "Linker for -fuse-ld (auto, mold, lld, gold, bfd)")

include(CheckLinkerFlag)
if(KORU_LINKER STREQUAL "auto")
  foreach(linker mold lld gold)
    # Looked for again at each configure: the full package list installs lld after a first
    # build that had only the program's packages.
    unset(KORU_HAVE_LINKER_${linker} CACHE)
    check_linker_flag(CXX "-fuse-ld=${linker}" KORU_HAVE_LINKER_${linker})
    if(KORU_HAVE_LINKER_${linker})
      add_link_options(-fuse-ld=${linker})
      message(STATUS "Linker: ${linker}")
      break()
    endif()
  endforeach()
elseif(KORU_LINKER)
  add_link_options(-fuse-ld=${KORU_LINKER})
endif()
