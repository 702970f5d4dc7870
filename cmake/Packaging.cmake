# The suite as a desktop application: install rules (GNUInstallDirs, so a
# prefix and DESTDIR work), the launchers, icons, metainfo and man pages
# made in packaging/, and the Debian package that `cpack -G DEB` builds.

# The version the programs print and report, from project(VERSION).
target_compile_definitions(vortiquo_shell PRIVATE VORTIQUO_VERSION="${PROJECT_VERSION}")
