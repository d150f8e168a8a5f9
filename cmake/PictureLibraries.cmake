# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# pelorin::jpeg, pelorin::gif and pelorin::lcms2 (placeholder until the
# Windows build of the three lands: Linux only).
include_guard(GLOBAL)
find_package(JPEG REQUIRED)
find_package(GIF REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LCMS2 REQUIRED IMPORTED_TARGET lcms2)
add_library(pelorin::jpeg INTERFACE IMPORTED)
target_link_libraries(pelorin::jpeg INTERFACE JPEG::JPEG)
add_library(pelorin::gif INTERFACE IMPORTED)
target_link_libraries(pelorin::gif INTERFACE GIF::GIF)
add_library(pelorin::lcms2 INTERFACE IMPORTED)
target_link_libraries(pelorin::lcms2 INTERFACE PkgConfig::LCMS2)
