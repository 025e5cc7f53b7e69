# `cpack -G DEB` in the build folder: a Debian package of what `cmake --install` installs,
# under /usr, with its dependencies found by dpkg-shlibdeps.
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/koru)
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME koru)
# Debian wants the changelog compressed without name and time stamp.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog
          > ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(koru_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/koru)

set(CPACK_PACKAGE_NAME koru)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KORU maintainers")
set(CPACK_PACKAGE_CONTACT "KORU maintainers <maintainers@koru.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "use an infrared remote control as an input device")
set(CPACK_PACKAGE_DESCRIPTION
    "KORU reads an infrared receiver on a serial port (the receiver pulls
the port's DCD line) or a kernel receiver (/dev/lircN), decodes each key
press, recognises the remote and the key, and runs a desktop action:
pointer steps, keystrokes to the front application, workspaces, media
players over MPRIS, master mute, and files, folders or URLs bound to the
numeric keys. It comes with many remotes built in and learns new ones key
by key.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open opens preset files, folders and URLs; the master mute opens libpulse when it is
# first used (it is not linked, so the package's library dependencies do not name it); Qt's
# Wayland platform plugin makes KORU a native client of a Wayland session (a plugin, not linked).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libpulse0, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
