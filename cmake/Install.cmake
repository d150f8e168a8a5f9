# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# What `cmake --install` puts under the prefix: the program, its manual
# page, what a Linux desktop needs to list it in its menus and software
# centre, and the copyright file and changelog a Debian package carries.
include(GNUInstallDirs)

# The reverse-DNS name AppStream knows the program by; the desktop entry
# and the metainfo file are named after it.
set(PELORIN_APP_ID com.example.pelorin)

# The folders it makes are 755 whatever the umask: a package's must be.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS Pelorin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/${PELORIN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/${PELORIN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY resources/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The package's name, and who answers for it, in the package and its
# changelog.
set(PELORIN_PACKAGE pelorin)
set(PELORIN_MAINTAINER "The Pelorin developers <pelorin@example.com>")

# This version's release date, from the metainfo's list of releases: the
# manual page and the changelog carry it, and a version without a release
# there would show no date to the software centre either.
file(READ resources/${PELORIN_APP_ID}.metainfo.xml _pelorin_metainfo)
string(REPLACE "." "\\." _pelorin_version_pattern "${PROJECT_VERSION}")
if(NOT _pelorin_metainfo MATCHES
   "<release version=\"${_pelorin_version_pattern}\" date=\"([0-9]+)-([0-9]+)-([0-9]+)\"")
  message(FATAL_ERROR "resources/${PELORIN_APP_ID}.metainfo.xml has no <release> of version "
                      "${PROJECT_VERSION} with its date: add one as the version changes")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             resources/${PELORIN_APP_ID}.metainfo.xml LICENSE)
set(PELORIN_RELEASE_DATE "${CMAKE_MATCH_1}-${CMAKE_MATCH_2}-${CMAKE_MATCH_3}")
# The changelog writes the day as RFC 5322 does, with its weekday.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C date --utc --rfc-email
                        --date "${PELORIN_RELEASE_DATE} 12:00 UTC"
                OUTPUT_VARIABLE PELORIN_RELEASE_TIME OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

# The manual page, the changelog and the copyright file, made from the
# project's version and the LICENSE file. Debian keeps manual pages and
# changelogs compressed at gzip's highest level, without a time stamp.
set(_pelorin_docs ${PROJECT_BINARY_DIR}/generated/docs)
configure_file(resources/Pelorin.1.in ${_pelorin_docs}/Pelorin.1 @ONLY)
configure_file(packaging/debian/changelog.in ${_pelorin_docs}/changelog @ONLY)
file(READ LICENSE _pelorin_license)
# A copyright file's licence text: the permission without the LICENSE
# file's title and notice (its Copyright field has that), each line
# indented by a space, an empty line written as " .".
string(REGEX REPLACE "^.*Copyright [^\n]*\n\n" "" _pelorin_license "${_pelorin_license}")
string(STRIP "${_pelorin_license}" _pelorin_license)
string(REPLACE "\n\n" "\n.\n" _pelorin_license "${_pelorin_license}")
string(REPLACE "\n" "\n " PELORIN_LICENSE_TEXT " ${_pelorin_license}")
configure_file(packaging/debian/copyright.in ${_pelorin_docs}/copyright @ONLY)

find_program(PELORIN_GZIP gzip REQUIRED)
add_custom_command(
  OUTPUT ${_pelorin_docs}/Pelorin.1.gz ${_pelorin_docs}/changelog.gz
  COMMAND ${PELORIN_GZIP} -9 --no-name --keep --force ${_pelorin_docs}/Pelorin.1
          ${_pelorin_docs}/changelog
  DEPENDS ${_pelorin_docs}/Pelorin.1 ${_pelorin_docs}/changelog
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(pelorin_docs ALL DEPENDS ${_pelorin_docs}/Pelorin.1.gz
                  ${_pelorin_docs}/changelog.gz)

install(FILES ${_pelorin_docs}/Pelorin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_pelorin_docs}/copyright ${_pelorin_docs}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${PELORIN_PACKAGE})
