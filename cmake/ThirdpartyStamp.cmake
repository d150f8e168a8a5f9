# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# The `built` stamp of a library the Windows build makes from a Debian
# source package (cmake/PictureLibraries.cmake): the recipe it was built
# by, the SHA-256 of the source package's .dsc as the archive's index gives
# it, and the SHA-256 of every file in the library's folder. The folder is
# current while the stamp made of it now is the stamp written when it was
# built: a file changed, missing or added (a folder partly copied, or
# edited), a new source version or another recipe all make it out of date.
#
# Include it; tests/cmake/ThirdpartyStamp_test.cmake runs it in script mode.

include_guard(GLOBAL)

# Sets `result` to the stamp of the folder `prefix` for this recipe and
# source, leaving out the stamp itself.
function(pelorin_thirdparty_stamp prefix recipe source result)
  set(text "recipe ${recipe}\nsource ${source}\n")
  file(GLOB_RECURSE files LIST_DIRECTORIES FALSE RELATIVE ${prefix} ${prefix}/*)
  list(REMOVE_ITEM files built)
  list(SORT files)
  foreach(file IN LISTS files)
    file(SHA256 ${prefix}/${file} digest)
    string(APPEND text "${digest} ${file}\n")
  endforeach()
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

# Sets `result` to whether the folder `prefix` is what its stamp says,
# for this recipe and source.
function(pelorin_thirdparty_current prefix recipe source result)
  set(current FALSE)
  if(EXISTS ${prefix}/built)
    file(READ ${prefix}/built written)
    pelorin_thirdparty_stamp(${prefix} ${recipe} ${source} now)
    if(written STREQUAL now)
      set(current TRUE)
    endif()
  endif()
  set(${result} ${current} PARENT_SCOPE)
endfunction()
