# `make package`: a Debian package of what `cmake --install` installs, under /usr.
set(TSUKIO_MAINTAINER "Quorv <tsukio@quorv.example.net>" CACHE STRING
    "The Debian package's maintainer")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tsukio)
set(CPACK_PACKAGE_VENDOR Quorv)
set(CPACK_PACKAGE_CONTACT "${TSUKIO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese tear-off calendar for the notification area")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tsukio shows today as a row of small tray icons: the day, and by choice the"
  "month, weekday, time and week number, coloured Sunday red, Saturday blue and"
  "holiday magenta, with the full Japanese date, the holiday, the week number,"
  "the rokuyo and the solar terms in the day icon's tooltip. A left click opens"
  "a month calendar; the options can start it at login and set the computer's"
  "clock from an SNTP server or a web page."
  "tsukio-cal, its command-line companion, prints the same calendar knowledge"
  "in a terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TSUKIO_HOMEPAGE}")
# The libraries the programs link (Qt, xcb, the C++ runtime) come from dpkg-shlibdeps.
# libcurl is named as well, for setting the clock over HTTP, and the fonts because
# the icons are drawn in those faces, which no library dependency brings in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, fonts-ipafont-gothic, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-shell-extension-appindicator")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
