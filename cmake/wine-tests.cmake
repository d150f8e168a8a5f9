# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# Windows tests under Wine. One ctest run gets one Xvfb and four fresh Wine
# prefixes (96, 120, 144 and 168 DPI) with their wineservers kept alive:
#
#   wine.start  FIXTURES_SETUP wine    scripts/wine-prefix start RUN_DIR
#   ...every test that requires the fixture...
#   wine.stop   FIXTURES_CLEANUP wine  scripts/wine-prefix stop RUN_DIR
#
# The test programs reach them through their CROSSCOMPILING_EMULATOR,
# `scripts/wine-run --run RUN_DIR`. gtest_discover_tests(... PRE_TEST) lists a
# test program when ctest starts, before wine.start: wine-run then uses a
# prefix of its own with no display (RUN_DIR/prefix-list, made once).
#
# Include after enable_testing(), from the top-level CMakeLists.txt, in a
# build configured with cmake/mingw-w64.cmake.

include_guard(GLOBAL)
include(GoogleTest)

set(PELORIN_WINE_RUN_DIR ${CMAKE_BINARY_DIR}/wine-run
    CACHE PATH "where a ctest run keeps its Wine prefixes and X server")
set(PELORIN_WINE_SCRIPTS ${PROJECT_SOURCE_DIR}/scripts
    CACHE PATH "the folder of wine-run and wine-prefix")

add_test(NAME wine.start COMMAND ${PELORIN_WINE_SCRIPTS}/wine-prefix start ${PELORIN_WINE_RUN_DIR})
add_test(NAME wine.stop COMMAND ${PELORIN_WINE_SCRIPTS}/wine-prefix stop ${PELORIN_WINE_RUN_DIR})
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

# pelorin_wine_gtest(TARGET [DPI 96|120|144|168] [INPUT] [TEST_PREFIX prefix] [PROPERTIES ...])
#
# Runs every test of a GoogleTest program under Wine, each in its own process.
# DPI picks the prefix. INPUT marks a program that moves the pointer or
# types through SendInput or xdotool: the X server has one pointer and one
# focus, so such programs hold the lock `wine_input` and never run beside
# each other under ctest -j.
function(pelorin_wine_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "INPUT" "DPI;TEST_PREFIX" "PROPERTIES")
  if(NOT arg_DPI)
    set(arg_DPI 96)
  endif()
  if(NOT arg_DPI MATCHES "^(96|120|144|168)$")
    message(FATAL_ERROR "pelorin_wine_gtest: no prefix at ${arg_DPI} DPI")
  endif()
  set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR
               ${PELORIN_WINE_SCRIPTS}/wine-run --run ${PELORIN_WINE_RUN_DIR})
  set(properties FIXTURES_REQUIRED wine ENVIRONMENT PELORIN_WINE_DPI=${arg_DPI})
  if(arg_INPUT)
    list(APPEND properties RESOURCE_LOCK wine_input)
  endif()
  # The first listing of a program includes the start of a wineserver.
  # NO_PRETTY_VALUES: a parameterised test is named by its name generator,
  # not followed by a dump of its parameter's bytes.
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       TEST_PREFIX "${arg_TEST_PREFIX}" NO_PRETTY_VALUES
                       PROPERTIES ${properties} ${arg_PROPERTIES})
endfunction()

# pelorin_wine_test(NAME name COMMAND target args... [DPI 96|120|144|168] [INPUT])
#
# One plain test under Wine, as add_test(NAME ... COMMAND target ...) with
# the fixture.
function(pelorin_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "INPUT" "NAME;DPI" "COMMAND")
  if(NOT arg_DPI)
    set(arg_DPI 96)
  endif()
  list(POP_FRONT arg_COMMAND target)
  set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR
               ${PELORIN_WINE_SCRIPTS}/wine-run --run ${PELORIN_WINE_RUN_DIR})
  add_test(NAME ${arg_NAME} COMMAND ${target} ${arg_COMMAND})
  set_tests_properties(${arg_NAME} PROPERTIES FIXTURES_REQUIRED wine
                       ENVIRONMENT PELORIN_WINE_DPI=${arg_DPI})
  if(arg_INPUT)
    set_tests_properties(${arg_NAME} PROPERTIES RESOURCE_LOCK wine_input)
  endif()
endfunction()
