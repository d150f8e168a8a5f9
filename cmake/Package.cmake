# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# `cpack` in the build folder makes a Debian package of what Install.cmake
# installs (the manual page, the copyright file and the changelog among
# it), under /usr as a distribution's package would have it; `make
# package` then has lintian check it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PELORIN_PACKAGE})
set(CPACK_PACKAGE_VENDOR "The Pelorin developers")
set(CPACK_PACKAGE_CONTACT "${PELORIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small, fast picture slide show")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.example.com/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_PACKAGE_DESCRIPTION
    "Pelorin shows the GIF and JPEG pictures of a folder one after another,\n\
full screen, each for as many seconds as asked, fitted to the screen and\n\
drawn at its full resolution. A click switches the show between full\n\
screen and a small square; Esc stops it.")
# The libraries come from the binary itself, through dpkg-shlibdeps; the
# windows are laid out in Tahoma, which Debian ships in fonts-wine, and the
# about window's link opens through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-wine)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)

include(CPack)
