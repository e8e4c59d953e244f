# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Cross-builds for 64-bit Windows on Linux with MinGW-w64's posix-threads
# compilers, against the static Qt 5 core module that release/build_qt.sh
# installs, and runs what it builds (CTest's tests among them) under wine64.
#
#   qt=$(release/build_qt.sh windows-x86_64)
#   cmake -S . -B build-windows -DCMAKE_BUILD_TYPE=Release \
#       -DCMAKE_TOOLCHAIN_FILE=windows/mingw_w64_toolchain.cmake \
#       -DSIMULATED_ERROR_WINDOWS_QT="$qt"
#
# SIMULATED_ERROR_WINDOWS_QT may come from the environment instead. Then
# find_package(Qt5 COMPONENTS Core) and
# target_link_libraries(app PRIVATE Qt5::Core) are all a program needs: for
# this static build Qt's CMake files read lib/Qt5Core.prl and link the
# bundled PCRE2 and every Windows library QtCore calls (mpr, userenv,
# version, netapi32, ws2_32, ole32, uuid, winmm, ...), which they look up
# under CMAKE_FIND_ROOT_PATH below.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_simulated_error_triple x86_64-w64-mingw32)
# The -posix compilers use winpthreads, which std::thread and std::mutex
# need; the -win32 ones would not build such code.
set(CMAKE_C_COMPILER ${_simulated_error_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_simulated_error_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_simulated_error_triple}-windres)

# Libraries, headers and CMake packages come from the MinGW-w64 sysroot and
# the Qt prefix only, never from the Linux system.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/cross_find_roots.cmake)
simulated_error_cross_find_roots(${_simulated_error_triple} SIMULATED_ERROR_WINDOWS_QT
    "Prefix of the Qt 5 for MinGW-w64 that release/build_qt.sh installed")

# The C and C++ runtimes and winpthreads go into each program, so that the
# .exe runs on a Windows without MinGW's DLLs beside it: it imports system
# DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)

# Debian installs wine64 beside its libraries, off PATH unless the wine
# package adds its launcher. wine64 needs no display. Before the tests,
# run once, with standard input and output on /dev/null:
#   /usr/lib/wine/wineserver -p 60; /usr/lib/wine/wine64 wineboot
# Otherwise the first test in a new WINEPREFIX makes the prefix (seconds)
# and prints "wine:" lines that WINEDEBUG does not silence, and each test
# that starts the wine server also starts wine's helper processes, which
# inherit its output pipe and hold it open until the server quits, 3 s
# after the last program: CTest waits that long for every such test.
find_program(SIMULATED_ERROR_WINE64 NAMES wine64 wine HINTS /usr/lib/wine
    DOC "wine64, which runs the Windows programs built here")
set(SIMULATED_ERROR_WINEDEBUG "-all" CACHE STRING
    "WINEDEBUG for the programs run under wine64: -all keeps wine's own fixme and err lines off their standard error")
if(SIMULATED_ERROR_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        env "WINEDEBUG=${SIMULATED_ERROR_WINEDEBUG}" "${SIMULATED_ERROR_WINE64}")
endif()
