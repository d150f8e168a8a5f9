# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# What `cmake --install` puts under the prefix: the program, and what a
# Linux desktop needs to list it in its menus and software centre.
include(GNUInstallDirs)

# The reverse-DNS name AppStream knows the program by; the desktop entry
# and the metainfo file are named after it.
set(PELORIN_APP_ID com.example.pelorin)

install(TARGETS Pelorin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/${PELORIN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/${PELORIN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY resources/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
