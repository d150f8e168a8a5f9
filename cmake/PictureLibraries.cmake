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
#   fetch-debian-sources: apt, with the archive's signature, and Debian's
#   patches), so Pelorin.exe needs no DLL of theirs. Each is built once, at
#   configure time, into PELORIN_THIRDPARTY_DIR/<package>-<version>/ (lib/,
#   include/, copyright) and used from there while the archive offers that
#   version and this file is unchanged. Their licence texts, each source
#   package's debian/copyright, are copied to
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
    CACHE STRING "the Debian suite whose source packages the Windows build uses")
set(_pelorin_packages libjpeg-turbo giflib lcms2)
set(_pelorin_sources ${PELORIN_THIRDPARTY_DIR}/sources)
# What the last fetch found: used, with a warning, when the archive cannot
# be reached and those versions are built.
set(_pelorin_fetched ${PELORIN_THIRDPARTY_DIR}/fetched.txt)

# A build is current while the recipe below, the toolchain file and the
# compiler are the same.
file(SHA256 ${CMAKE_CURRENT_LIST_FILE} _pelorin_recipe)
file(SHA256 ${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake _pelorin_toolchain)
string(SHA256 _pelorin_recipe "${_pelorin_recipe} ${_pelorin_toolchain} ${CMAKE_C_COMPILER} \
${CMAKE_CXX_COMPILER_VERSION} ${CMAKE_AR}")

function(_pelorin_built_current prefix result)
  set(current FALSE)
  if(EXISTS ${prefix}/built)
    file(READ ${prefix}/built stamp)
    if(stamp STREQUAL "${_pelorin_recipe}")
      set(current TRUE)
    endif()
  endif()
  set(${result} ${current} PARENT_SCOPE)
endfunction()

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

# The lines "package version source-folder" of the libraries to build.
# Each configure asks the archive for the current versions (a second or two
# once the sources are there), so a security update is built on the next
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
  set(usable FALSE)
  if(EXISTS ${_pelorin_fetched})
    file(READ ${_pelorin_fetched} output)
    set(usable TRUE)
    string(REGEX MATCHALL "[^\n]+" lines "${output}")
    foreach(line IN LISTS lines)
      string(REPLACE " " ";" fields "${line}")
      list(GET fields 0 package)
      list(GET fields 1 version)
      _pelorin_built_current(${PELORIN_THIRDPARTY_DIR}/${package}-${version} current)
      if(NOT current)
        set(usable FALSE)
      endif()
    endforeach()
  endif()
  if(NOT usable)
    list(JOIN _pelorin_packages ", " names)
    message(FATAL_ERROR "The Windows build needs Debian's source packages of ${names}, "
                        "and cannot fetch them:\n${errors}")
  endif()
  message(WARNING "Cannot ask Debian's archive for the current picture libraries; building "
                  "with those built before (${PELORIN_THIRDPARTY_DIR}):\n${errors}")
  set(${result} "${output}" PARENT_SCOPE)
endfunction()

# Builds a package's library unless the build of this version is current,
# and sets _pelorin_prefix_<package> to where it is.
function(_pelorin_provide package version source)
  set(prefix ${PELORIN_THIRDPARTY_DIR}/${package}-${version})
  _pelorin_built_current(${prefix} current)
  if(NOT current)
    message(STATUS "Building ${package} ${version} for Windows in ${prefix}")
    string(TIMESTAMP began "%s" UTC)
    set(build ${PELORIN_THIRDPARTY_DIR}/build/${package}-${version})
    set(stage ${prefix}.partial)
    file(REMOVE_RECURSE ${build} ${stage} ${prefix})
    string(REPLACE "-" "_" builder "_pelorin_build_${package}")
    cmake_language(CALL ${builder} ${source} ${build} ${stage})
    file(COPY_FILE ${source}/debian/copyright ${stage}/copyright)
    # Only a finished build takes the version's name: one cut short is
    # begun again by the next configure.
    file(RENAME ${stage} ${prefix})
    file(WRITE ${prefix}/built "${_pelorin_recipe}")
    string(TIMESTAMP ended "%s" UTC)
    math(EXPR seconds "${ended} - ${began}")
    message(STATUS "Built ${package} ${version} in ${seconds} s")
    file(REMOVE_RECURSE ${build})
    file(REMOVE ${build}.configure.log ${build}.configure.log.err ${build}.build.log
         ${build}.build.log.err)
  endif()
  # Other versions of the package, and what an interrupted build left, are
  # of no more use.
  file(GLOB others LIST_DIRECTORIES TRUE ${PELORIN_THIRDPARTY_DIR}/${package}-*)
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
