# The suite as a desktop application: install rules (GNUInstallDirs, so a
# prefix and DESTDIR work), the launchers, icons, metainfo and man pages
# made in packaging/, and the Debian package that `cpack -G DEB` builds.

include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/Programs.cmake)

# Documentation goes where Debian looks for the package's: under its
# lower-case name, which is also the package's name.
set(VORTIQUO_PACKAGE vortiquo)
set(VORTIQUO_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VORTIQUO_PACKAGE})

install(TARGETS ${VORTIQUO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VORTIQUO_DOCDIR})
add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${PROJECT_BINARY_DIR}/packaging)

# The Debian package, vortiquo_VERSION_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VORTIQUO_PACKAGE})
set(CPACK_PACKAGE_VENDOR "The Vortiquo developers")
set(CPACK_PACKAGE_CONTACT "The Vortiquo developers <developers@vortiquo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "explorers of chaotic attractors, with an Italian interface")
set(CPACK_PACKAGE_DESCRIPTION [[
Four small desktop programs, each one window with an Italian interface:
type the parameters, press “Via” and watch a chaotic attractor build up
point by point, every point coloured from its own coordinates.
.
 BrisutaW7  convection flow
 KelvaneW7  spiral flow
 TessivoW7  recurrence map
 DrumbelW7  quadratic map
.
Each program can also render its picture to a PNG file with no display.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the programs link are found by dpkg-shlibdeps. What they
# load at run time it cannot see: Qt's platform plugins (without them no
# window opens), the SVG icon engine the window icon is drawn with, and the
# fonts the layout is measured in ("Nimbus Sans", "DejaVu Sans", "DejaVu
# Serif Condensed"). Qt's translations only put Qt's own menus and dialogs
# into Italian, and the ffmpeg program only serves video export (a video
# can still be written as numbered frames without it), so both are
# recommended, not required. Qt Charts (libqt6charts6) is linked, so
# dpkg-shlibdeps finds it.
#
# The window's event dispatcher reaches the platform plugin's own through
# Qt's private API (window/PlatformDispatcher.cpp), which keeps no promise
# from one Qt version to the next. Debian's packages that use it depend on
# exactly the Qt they were built against, through the virtual package
# qt6-base-abi that libqt6core6 provides; so does this one. (dpkg-shlibdeps
# adds the same from the symbols files of Qt's libraries, which tag their
# private symbols; naming it here keeps it whatever those files say.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-base-abi (= ${Qt6Core_VERSION}), qt6-qpa-plugins, libqt6svg6, fonts-dejavu-core, fonts-dejavu-extra, fonts-urw-base35")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, ffmpeg")
include(CPack)
