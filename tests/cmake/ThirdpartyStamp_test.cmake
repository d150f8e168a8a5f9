# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# cmake -DWORK=<folder> -P ThirdpartyStamp_test.cmake
#
# The stamp of a library the Windows build makes (cmake/ThirdpartyStamp.cmake):
# a folder as it was built is current, and each way a folder can come to
# differ from what was built makes it out of date.

cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ThirdpartyStamp.cmake)

set(recipe 1111111111111111111111111111111111111111111111111111111111111111)
set(source 2222222222222222222222222222222222222222222222222222222222222222)

# A library's folder as a build leaves it, stamped.
function(built prefix)
  file(REMOVE_RECURSE ${prefix})
  file(WRITE ${prefix}/lib/libpicture.a "!<arch>\nthe archive's members\n")
  file(WRITE ${prefix}/include/picture.h "int picture(void);\n")
  file(WRITE ${prefix}/copyright "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")
  pelorin_thirdparty_stamp(${prefix} ${recipe} ${source} stamp)
  file(WRITE ${prefix}/built "${stamp}")
endfunction()

# What happens to the folder after its build, and whether it is still
# current for this recipe and source.
set(cases
  "as built|-|-|${recipe}|${source}|TRUE"
  "archive changed|APPEND|lib/libpicture.a|${recipe}|${source}|FALSE"
  "archive missing|REMOVE|lib/libpicture.a|${recipe}|${source}|FALSE"
  "header changed|APPEND|include/picture.h|${recipe}|${source}|FALSE"
  "header added|WRITE|include/stdio.h|${recipe}|${source}|FALSE"
  "headers missing|REMOVE_RECURSE|include|${recipe}|${source}|FALSE"
  "licence missing|REMOVE|copyright|${recipe}|${source}|FALSE"
  "stamp missing|REMOVE|built|${recipe}|${source}|FALSE"
  "another source version|-|-|${recipe}|3333333333333333333333333333333333333333333333333333333333333333|FALSE"
  "another recipe|-|-|4444444444444444444444444444444444444444444444444444444444444444|${source}|FALSE"
)

set(failures "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 action)
  list(GET fields 2 path)
  list(GET fields 3 now_recipe)
  list(GET fields 4 now_source)
  list(GET fields 5 expected)
  set(prefix ${WORK}/library)
  built(${prefix})
  if(action STREQUAL "APPEND" OR action STREQUAL "WRITE")
    file(${action} ${prefix}/${path} "changed\n")
  elseif(NOT action STREQUAL "-")
    file(${action} ${prefix}/${path})
  endif()
  pelorin_thirdparty_current(${prefix} ${now_recipe} ${now_source} current)
  if(NOT current STREQUAL expected)
    list(APPEND failures "${name}: current is ${current}, expected ${expected}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})

if(failures)
  list(JOIN failures "\n  " failures)
  message(FATAL_ERROR "The stamp of a built library:\n  ${failures}")
endif()
