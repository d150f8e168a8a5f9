# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# The picture libraries, as the targets pelorin::jpeg (libjpeg-turbo),
# pelorin::gif (giflib) and pelorin::lcms2 (Little CMS 2):
#
# - On Linux, Debian's shared libraries (libjpeg62-turbo-dev, libgif-dev,
#   liblcms2-dev); the Debian package depends on them through
#   dpkg-shlibdeps.
# - In a build configured with cmake/mingw-w64.cmake, static libraries
#   cross-built from Debian's own source packages (scripts/
#   fetch-debian-sources: apt, with the archive's signature, from the
#   release and its -updates and -security suites, the newest version;
#   dpkg-source applies Debian's patches), so Pelorin.exe needs no DLL of
#   theirs. Each is built at configure time into
#   PELORIN_THIRDPARTY_DIR/<package>-<version>/ (lib/, include/,
#   copyright), whose `built` stamp (cmake/ThirdpartyStamp.cmake) records
#   the recipe, the SHA-256 of the source package's .dsc and of every file
#   built; it is used from there while all of those still match, and built
#   again from the fetched sources when one does not. Their licence texts,
#   each source package's debian/copyright, are copied to
#   PELORIN_THIRDPARTY_LICENSES/LICENSE-<package>.txt for the release.
#
# Include from the top-level CMakeLists.txt.

include_guard(GLOBAL)

if(NOT WIN32)
  find_package(JPEG REQUIRED)
  find_package(GIF REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PELORIN_LCMS2 REQUIRED IMPORTED_TARGET lcms2)
  add_library(pelorin::jpeg INTERFACE IMPORTED GLOBAL)
  target_link_libraries(pelorin::jpeg INTERFACE JPEG::JPEG)
  add_library(pelorin::gif INTERFACE IMPORTED GLOBAL)
  target_link_libraries(pelorin::gif INTERFACE GIF::GIF)
  add_library(pelorin::lcms2 INTERFACE IMPORTED GLOBAL)
  target_link_libraries(pelorin::lcms2 INTERFACE PkgConfig::PELORIN_LCMS2)
  return()
endif()

set(PELORIN_THIRDPARTY_DIR ${CMAKE_BINARY_DIR}/thirdparty
    CACHE PATH "where the Windows build keeps the picture libraries it builds, by version")
set(PELORIN_THIRDPARTY_LICENSES ${PELORIN_THIRDPARTY_DIR}/licenses
    CACHE PATH "the picture libraries' licence texts, for the Windows release")
set(PELORIN_DEBIAN_SUITE bookworm
    CACHE STRING "the Debian release whose source packages (with its -updates and -security) the Windows build uses")
set(_pelorin_packages libjpeg-turbo giflib lcms2)
set(_pelorin_sources ${PELORIN_THIRDPARTY_DIR}/sources)
# What the last fetch found: used, with a warning, when the archive cannot
# be reached.
set(_pelorin_fetched ${PELORIN_THIRDPARTY_DIR}/fetched.txt)
include(${CMAKE_CURRENT_LIST_DIR}/ThirdpartyStamp.cmake)

# The recipe: this file, the toolchain file and the compiler.
file(SHA256 ${CMAKE_CURRENT_LIST_FILE} _pelorin_recipe)
file(SHA256 ${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake _pelorin_toolchain)
string(SHA256 _pelorin_recipe "${_pelorin_recipe} ${_pelorin_toolchain} ${CMAKE_C_COMPILER} \
${CMAKE_CXX_COMPILER_VERSION} ${CMAKE_AR}")
find_program(PELORIN_DPKG_SOURCE dpkg-source)
if(NOT PELORIN_DPKG_SOURCE)
  message(FATAL_ERROR "The Windows build unpacks Debian's source packages with dpkg-source "
                      "(apt-get install dpkg-dev)")
endif()

cmake_host_system_information(RESULT _pelorin_jobs QUERY NUMBER_OF_LOGICAL_CORES)
set(_pelorin_triple x86_64-w64-mingw32)
# The cross compilers as the project's own objects get them, ccache included.
set(_pelorin_cc ${CMAKE_C_COMPILER})
if(DEFINED ENV{CMAKE_C_COMPILER_LAUNCHER})
  set(_pelorin_cc "$ENV{CMAKE_C_COMPILER_LAUNCHER} ${CMAKE_C_COMPILER}")
endif()

function(_pelorin_run step log)
  cmake_path(GET log PARENT_PATH folder)
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND ${ARGN} OUTPUT_FILE ${log} ERROR_FILE ${log}.err
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    file(READ ${log}.err errors)
    message(FATAL_ERROR "${step} failed (${result}); its output is in ${log} and "
                        "${log}.err:\n${errors}")
  endif()
endfunction()

# Each builder writes lib/ and include/ under `stage`.
function(_pelorin_build_libjpeg_turbo source build stage)
  # Only the static library: no TurboJPEG, no programs. nasm builds the
  # SIMD code libjpeg-turbo picks at run time by the processor's features.
  _pelorin_run("libjpeg-turbo's configure" ${build}.configure.log
    ${CMAKE_COMMAND} -S ${source} -B ${build} -G "Unix Makefiles"
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
    -DCMAKE_INSTALL_PREFIX=${stage} -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF
    -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON
    -DCMAKE_ASM_NASM_COMPILER=nasm)
  _pelorin_run("libjpeg-turbo's build" ${build}.build.log
    ${CMAKE_COMMAND} --build ${build} --target jpeg-static -j ${_pelorin_jobs})
  file(COPY ${build}/libjpeg.a DESTINATION ${stage}/lib)
  file(COPY ${source}/jpeglib.h ${source}/jmorecfg.h ${source}/jerror.h ${build}/jconfig.h
       DESTINATION ${stage}/include)
endfunction()

function(_pelorin_build_giflib source build stage)
  # Its own Makefile's libgif.a, in a copy: the Makefile builds in place.
  file(COPY ${source}/ DESTINATION ${build})
  _pelorin_run("giflib's build" ${build}.build.log
    make -C ${build} -j ${_pelorin_jobs} "CC=${_pelorin_cc}" AR=${CMAKE_AR} libgif.a)
  file(COPY ${build}/libgif.a DESTINATION ${stage}/lib)
  file(COPY ${source}/gif_lib.h DESTINATION ${stage}/include)
endfunction()

function(_pelorin_build_lcms2 source build stage)
  # The library alone (src/): the utilities would want libjpeg and libtiff.
  file(MAKE_DIRECTORY ${build})
  _pelorin_run("lcms2's configure" ${build}.configure.log
    ${CMAKE_COMMAND} -E chdir ${build} ${source}/configure --host=${_pelorin_triple}
    --enable-static --disable-shared --without-jpeg --without-tiff --without-zlib
    "CC=${_pelorin_cc}" AR=${CMAKE_AR} RANLIB=${CMAKE_RANLIB} "CFLAGS=-O2")
  _pelorin_run("lcms2's build" ${build}.build.log make -C ${build}/src -j ${_pelorin_jobs})
  file(COPY ${build}/src/.libs/liblcms2.a DESTINATION ${stage}/lib)
  file(COPY ${source}/include/lcms2.h ${source}/include/lcms2_plugin.h
       DESTINATION ${stage}/include)
endfunction()

# The lines "package version dsc sha256" of the libraries to build. Each
# configure asks the archive for the current versions (a few seconds once
# the sources are there), so a security update is built on the next
# configure.
function(_pelorin_fetch result)
  string(TIMESTAMP began "%s" UTC)
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-sources --suite ${PELORIN_DEBIAN_SUITE}
            ${_pelorin_sources} ${_pelorin_packages}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE code)
  string(TIMESTAMP ended "%s" UTC)
  math(EXPR seconds "${ended} - ${began}")
  if(code EQUAL 0)
    message(STATUS "Asked Debian's archive for the picture libraries' sources: ${seconds} s")
    file(WRITE ${_pelorin_fetched} "${output}")
    set(${result} "${output}" PARENT_SCOPE)
    return()
  endif()
  if(NOT EXISTS ${_pelorin_fetched})
    list(JOIN _pelorin_packages ", " names)
    message(FATAL_ERROR "The Windows build needs Debian's source packages of ${names}, "
                        "and cannot fetch them:\n${errors}")
  endif()
  file(READ ${_pelorin_fetched} output)
  message(WARNING "Cannot ask Debian's archive for the current picture libraries; going on "
                  "with those it offered last (${PELORIN_THIRDPARTY_DIR}):\n${errors}")
  set(${result} "${output}" PARENT_SCOPE)
endfunction()

# Builds a package's library from its .dsc unless the build of it is
# current, and sets _pelorin_prefix_<package> to where it is.
function(_pelorin_provide package version dsc sha256)
  set(prefix ${PELORIN_THIRDPARTY_DIR}/${package}-${version})
  pelorin_thirdparty_current(${prefix} ${_pelorin_recipe} ${sha256} current)
  if(NOT current)
    if(EXISTS ${prefix}/built)
      message(STATUS "${prefix} does not match its stamp (changed or partly copied, or of "
                     "another source or recipe): building ${package} again")
    endif()
    # The .dsc names every other file with its digest, and dpkg-source
    # checks them; without the network, the .dsc here is checked against
    # what the archive's index said when it was fetched.
    set(actual "")
    if(EXISTS ${dsc})
      file(SHA256 ${dsc} actual)
    endif()
    if(NOT actual STREQUAL sha256)
      message(FATAL_ERROR "${dsc} is missing or not the file Debian's archive names (SHA-256 "
                          "${sha256}); configure again with the network to fetch it again")
    endif()
    message(STATUS "Building ${package} ${version} for Windows in ${prefix}")
    string(TIMESTAMP began "%s" UTC)
    set(build ${PELORIN_THIRDPARTY_DIR}/build/${package}-${version})
    set(source ${build}.source)
    set(stage ${prefix}.partial)
    file(REMOVE_RECURSE ${build} ${source} ${stage} ${prefix})
    _pelorin_run("Unpacking ${package}" ${build}.unpack.log
      ${PELORIN_DPKG_SOURCE} --no-copy -x ${dsc} ${source})
    string(REPLACE "-" "_" builder "_pelorin_build_${package}")
    cmake_language(CALL ${builder} ${source} ${build} ${stage})
    file(COPY_FILE ${source}/debian/copyright ${stage}/copyright)
    # Only a finished build takes the version's name: one cut short is
    # begun again by the next configure.
    file(RENAME ${stage} ${prefix})
    pelorin_thirdparty_stamp(${prefix} ${_pelorin_recipe} ${sha256} stamp)
    file(WRITE ${prefix}/built "${stamp}")
    string(TIMESTAMP ended "%s" UTC)
    math(EXPR seconds "${ended} - ${began}")
    message(STATUS "Built ${package} ${version} in ${seconds} s")
    file(REMOVE_RECURSE ${build} ${source})
    file(GLOB logs ${build}.*.log ${build}.*.log.err)
    file(REMOVE ${logs})
  endif()
  # Other versions of the package, what an interrupted build left, and
  # sources unpacked by builds before, are of no more use.
  file(GLOB others LIST_DIRECTORIES TRUE ${PELORIN_THIRDPARTY_DIR}/${package}-*
       ${_pelorin_sources}/${package}-*)
  list(REMOVE_ITEM others ${prefix})
  if(others)
    file(REMOVE_RECURSE ${others})
  endif()
  file(MAKE_DIRECTORY ${PELORIN_THIRDPARTY_LICENSES})
  configure_file(${prefix}/copyright ${PELORIN_THIRDPARTY_LICENSES}/LICENSE-${package}.txt
                 COPYONLY)
  set(_pelorin_prefix_${package} ${prefix} PARENT_SCOPE)
endfunction()

_pelorin_fetch(_pelorin_fetch_output)
string(REGEX MATCHALL "[^\n]+" _pelorin_lines "${_pelorin_fetch_output}")
set(_pelorin_versions "")
foreach(_pelorin_line IN LISTS _pelorin_lines)
  string(REPLACE " " ";" _pelorin_fields "${_pelorin_line}")
  _pelorin_provide(${_pelorin_fields})
  list(GET _pelorin_fields 0 1 _pelorin_fields)
  list(JOIN _pelorin_fields " " _pelorin_line)
  list(APPEND _pelorin_versions "${_pelorin_line}")
endforeach()
list(JOIN _pelorin_versions ", " _pelorin_versions)
message(STATUS "Picture libraries for Windows: ${_pelorin_versions}")

foreach(_pelorin_library IN ITEMS "jpeg;libjpeg-turbo;libjpeg.a" "gif;giflib;libgif.a"
                                  "lcms2;lcms2;liblcms2.a")
  list(GET _pelorin_library 0 _pelorin_name)
  list(GET _pelorin_library 1 _pelorin_package)
  list(GET _pelorin_library 2 _pelorin_archive)
  set(_pelorin_prefix ${_pelorin_prefix_${_pelorin_package}})
  add_library(pelorin::${_pelorin_name} STATIC IMPORTED GLOBAL)
  set_target_properties(pelorin::${_pelorin_name} PROPERTIES
    IMPORTED_LOCATION ${_pelorin_prefix}/lib/${_pelorin_archive}
    INTERFACE_INCLUDE_DIRECTORIES ${_pelorin_prefix}/include)
endforeach()
