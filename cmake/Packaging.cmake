# The Debian package: `cpack -G DEB` in the build folder makes vantrel_<version>_amd64.deb of
# what `cmake --install` puts in place, under /usr.

set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel Team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and sender for tri-colour LED signs")
# One string: a CMake list would put ";" between the lines.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vantrel composes pages for LED signs whose every LED is red, green or both (yellow):\n"
    "rich-text pages and pictures on a canvas of the sign's size, a program list of pages\n"
    "with their entry and exit effects, and sending to the sign controller over RS232,\n"
    "Bluetooth serial or TCP/IP. vantrel-cli does the same from scripts; vantrel-sign\n"
    "behaves as a sign controller for trying everything without hardware; vantrel-agent,\n"
    "a user service, keeps every sign on the show of a weekly schedule.")
set(CPACK_PACKAGE_CONTACT "Vantrel Team <vantrel@localhost>")
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

include(CPack)
