# Where `cmake --install` puts the program and what a desktop needs to show and start it; with
# VEXMIRA_DEBIAN_PACKAGE the same tree laid out as Debian wants it, and CPack's rules for the .deb.
include(GNUInstallDirs)
if(NOT TARGET vexmira)  # a core-only build has nothing to install
  return()
endif()

set(VEXMIRA_APP_ID org.vexmira.Vexmira)  # also the desktop file name the program gives Qt
# udev reads its rules under /usr/lib (or /lib), never under a multiarch library folder.
set(VEXMIRA_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING "Folder of the udev rule, relative to the prefix")
option(VEXMIRA_DEBIAN_PACKAGE "Lay out the documentation for a Debian package and set up CPack for it" OFF)
# Folders the install creates are world-readable whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS vexmira RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES res/${VEXMIRA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES res/${VEXMIRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES res/vexmira-${size}.png RENAME ${VEXMIRA_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES res/vexmira.svg RENAME ${VEXMIRA_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES res/60-vexmira-dmx.rules DESTINATION ${VEXMIRA_UDEV_RULES_DIR})

set(manual ${PROJECT_BINARY_DIR}/doc/vexmira.1)
configure_file(doc/vexmira.1.in ${manual} @ONLY)

if(NOT VEXMIRA_DEBIAN_PACKAGE)
  install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  return()
endif()

# Debian: the manual page and the changelog compressed, the licence named in the copyright file.
set(changelog ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
file(STRINGS ${changelog} newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^vexmira \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog has no entry for version ${PROJECT_VERSION} at its top")
endif()
configure_file(${changelog} ${PROJECT_BINARY_DIR}/packaging/changelog COPYONLY)
add_custom_command(OUTPUT ${manual}.gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nkf ${manual} ${PROJECT_BINARY_DIR}/packaging/changelog
  DEPENDS ${manual} ${PROJECT_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(vexmira_debian_docs ALL DEPENDS ${manual}.gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz packaging/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Stripped as Debian strips its programs: no symbols, no compiler notes.
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
  --strip-unneeded \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vexmira\" COMMAND_ERROR_IS_FATAL ANY)")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexmira)
set(CPACK_PACKAGE_VENDOR "Vexmira developers")
set(CPACK_PACKAGE_CONTACT "Vexmira developers <dev@vexmira.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DMX512 service tool for lighting fixtures")
# CPack indents these lines for the control file; an empty line separates paragraphs.
set(CPACK_PACKAGE_DESCRIPTION [[
Vexmira puts DMX512 frames on a lighting line through a USB-to-DMX512
interface, for testing fixtures and setting them up. It only transmits.

Its launcher opens four tools: a console of 32 faders over the 512
channels, with chases, crossfades and chase files; remote DMX addressing,
which gives fixtures their start addresses over the line; remote setup of
architectural fixtures; and fixture firmware upgrade from an upgrade file.

It drives open-DMX adapters (FTDI and other USB RS-485 serial adapters)
and DMX USB Pro-style widgets. A virtual interface with a line monitor lets
one try it without hardware, and every frame can be captured to a pcap file
that Wireshark decodes.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vexmira.org/)
# The libraries come from dpkg-shlibdeps; the windows also need Qt's platform plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
