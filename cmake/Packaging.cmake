# The Debian package: `cpack -G DEB` in the build folder makes vantrel_<version>_amd64.deb of
# what `cmake --install` puts in place, under /usr.

set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel Team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and sender for tri-colour LED signs")
# One string: a CMake list would put ";" between the lines.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vantrel composes pages for LED signs whose every LED is red, green or\n"
    "both (yellow): rich-text pages and pictures on a canvas of the sign's size,\n"
    "a program list of pages with their entry and exit effects, and sending to\n"
    "the sign controller over RS232, Bluetooth serial or TCP/IP. vantrel-cli\n"
    "does the same from scripts; vantrel-sign behaves as a sign controller for\n"
    "trying everything without hardware; vantrel-agent, a user service, keeps\n"
    "every sign on the show of a weekly schedule.")
# A placeholder domain (example.org is reserved for such use): lintian refuses "localhost".
set(CPACK_PACKAGE_CONTACT "Vantrel Team <vantrel@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed binaries without their debugging sections: a tenth of the size.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binaries (dpkg-shlibdeps). Added to them: Qt's SVG plugins,
# which draw the toolbar and window icons but are loaded at run time, so no binary links
# them; and the fonts the pages are drawn with: Liberation Serif for Times New Roman,
# WenQuanYi Zen Hei Sharp for Chinese.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-liberation2, fonts-wqy-zenhei")
# Qt's own translations give the standard dialog buttons ("OK", "Cancel") in Chinese; without
# them those buttons stay English, so recommended rather than required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(CPack)
