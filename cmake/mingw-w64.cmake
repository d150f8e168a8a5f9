# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
#
# Cross-builds Pelorin for 64-bit Windows with Debian's mingw-w64 (posix threads):
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# The executables link the GCC runtime, libstdc++ and winpthread statically, so
# Pelorin.exe imports nothing but DLLs every Windows has. ctest runs what it
# builds under Wine through scripts/wine-run.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_pelorin_triple x86_64-w64-mingw32)
# The -posix compilers: std::thread, std::mutex and std::condition_variable
# exist only with the posix thread model (the -win32 ones lack them in GCC 12).
find_program(CMAKE_C_COMPILER NAMES ${_pelorin_triple}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_pelorin_triple}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_pelorin_triple}-windres REQUIRED)
find_program(CMAKE_AR NAMES ${_pelorin_triple}-gcc-ar-posix ${_pelorin_triple}-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES ${_pelorin_triple}-gcc-ranlib-posix ${_pelorin_triple}-ranlib
             REQUIRED)

# Headers and libraries come from the mingw-w64 sysroot only; programs the
# build runs (Python, ImageMagick) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_pelorin_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every TCHAR-style name (CreateWindowEx, MessageBox...) resolves to its W
# form. The entry point is the target's choice: wmain/wWinMain need
# -municode at link time, gtest_main's main() must not have it.
# (set, not appended to: CMake reads this file more than once.)
set(CMAKE_C_FLAGS_INIT "-DUNICODE -D_UNICODE")
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE")

# -static takes libgcc, libstdc++ and libwinpthread from their .a files;
# without it the exe needs libstdc++-6.dll, libgcc_s_seh-1.dll and
# libwinpthread-1.dll next to it, and -static-libgcc -static-libstdc++ alone
# still leave libwinpthread-1.dll. The system import libraries (kernel32,
# user32...) stay imports whatever this says.
foreach(_pelorin_kind EXE SHARED MODULE)
  set(CMAKE_${_pelorin_kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

# try_run() and ctest (gtest_discover_tests too) start Windows programs
# through Wine.
get_filename_component(_pelorin_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_pelorin_wine_run}")
