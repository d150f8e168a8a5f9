# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# GoogleTest for a cross build: Debian's libgtest-dev is built for Linux,
# so the Windows tests compile Debian's googletest sources into static
# libraries of their own. Provides GTest::gtest and GTest::gtest_main as
# find_package(GTest) does.

set(PELORIN_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "googletest sources (Debian package googletest)")
if(NOT EXISTS ${PELORIN_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "no googletest sources in ${PELORIN_GOOGLETEST_SOURCE_DIR}: "
                      "apt-get install googletest")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF)
# googletest's own code is not held to the project's warnings.
get_directory_property(pelorin_saved_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${PELORIN_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL
                 SYSTEM)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${pelorin_saved_options}")
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
