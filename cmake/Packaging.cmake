# A Debian package of what `cmake --install` lays out; `scripts/package` makes it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zanbo)
set(CPACK_PACKAGE_VENDOR quindle)
set(CPACK_PACKAGE_CONTACT "quindle <zanbo@quindle.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weighted number picks for LOTO6 and Mini LOTO")
set(CPACK_PACKAGE_DESCRIPTION
  "Zanbo draws candidate combinations for the Japanese number lotteries LOTO6 and
Mini LOTO under a per-number weighting, keeps the chosen ones in a save file and
judges them against the latest draw. The interface is in Japanese.")
# Debian's programs live under /usr whatever prefix the build tree was given.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quindle.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins Qt loads at run time, which dpkg-shlibdeps cannot see: the window
# system, the SVG icon engine and the SQLite driver of the draw history.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, libqt6sql6-sqlite")
# The window's Japanese font, and Qt's own dialogs in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, qt6-translations-l10n")
include(CPack)
