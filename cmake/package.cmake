# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh does it all) makes
# orvanta_<version>_<arch>.deb from the install rules, with the /usr prefix.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

# What Debian asks of every package beside the program: its copyright and its change log, compressed
# without a time stamp so that two builds give the same file.
set(orvanta_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/orvanta)
set(orvanta_changelog ${CMAKE_BINARY_DIR}/package/changelog.gz)
add_custom_command(OUTPUT ${orvanta_changelog}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
                   COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/dist/debian/changelog
                           ${CMAKE_BINARY_DIR}/package/changelog
                   COMMAND ${ORVANTA_GZIP} -9nf ${CMAKE_BINARY_DIR}/package/changelog
                   DEPENDS ${CMAKE_SOURCE_DIR}/dist/debian/changelog
                   VERBATIM)
add_custom_target(orvanta_package_docs ALL DEPENDS ${orvanta_changelog})
install(FILES ${CMAKE_SOURCE_DIR}/dist/debian/copyright ${orvanta_changelog} DESTINATION ${orvanta_doc_dir})
install(FILES ${CMAKE_SOURCE_DIR}/dist/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME orvanta)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VERSION ${ORVANTA_DISPLAY_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Orvanta developers <developers@orvanta.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop task scheduler: programs, reminders, macros and power actions")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvanta carries out tasks at the times you choose (once, daily, on chosen
weekdays, monthly or yearly, repeated within a time window) or when you press a
global hotkey. A task can start a program, open a file or web address, show a
reminder, play a recorded keyboard and mouse macro, end a running program, wake
the computer from sleep, suspend, hibernate, shut down or restart it, lock the
session, log off or turn the monitor off.

It waits in the notification area and can ask for confirmation with a
count-down before a task runs. The companion command orvantactl adds, lists
and runs tasks from a terminal or a script.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvanta.org/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# The libraries the programs link come from dpkg-shlibdeps; setcap is what the post-install step runs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin")
# On a Wayland desktop the windows are the compositor's own with it; without it they go through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# GNOME shows no notification-area icons without it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-shell-extension-appindicator")

# Installed files as Debian wants them: no symbols, directories 0755, maintainer scripts 0755.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The post-removal script of our own also keeps out the ldconfig call CPack adds for any library under
# /usr/lib, which the private hook library does not need.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/dist/debian/postinst ${CMAKE_SOURCE_DIR}/dist/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
