# The Debian package: `cpack -G DEB` in the build folder writes vireo_<version>_<arch>.deb
# from what `cmake --install` installs, under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vireo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Larkspur Laboratory")
set(CPACK_PACKAGE_CONTACT "Larkspur Laboratory <vireo@larkspur.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "desktop clock on eight time scales, with the Japanese lunisolar date")
# Debian wants the long description in lines of at most 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Vireo shows an analogue face and a digital readout on eight time scales:"
  "local standard time, UTC, local mean time, apparent solar time, local and"
  "Greenwich sidereal time, the temporal hours of the Tenpo calendar and the"
  "fixed double-hours of the Engishiki. It shows the Japanese lunisolar date,"
  "colours its face by the Sun, sounds an hourly time signal, keeps ten alarms"
  "and plays music files. Its user interface is in Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://larkspur.example/vireo/")
# The libraries the programs link come from dpkg-shlibdeps; the rest is what they load at run
# time: the General MIDI SoundFont, the Japanese font, Qt's Japanese dialogs, the icon theme
# the launcher's icon is looked up in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fluid-soundfont-gm | sf2-soundfont-gm, fonts-noto-cjk, qt6-translations-l10n, hicolor-icon-theme")
# A native window under Wayland; without it the clock runs through Xwayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/deb/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
