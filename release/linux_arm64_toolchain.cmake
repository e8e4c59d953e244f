# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Cross-builds the arm64 Linux release file with the distribution's
# aarch64-linux-gnu compilers, against the static Qt 5 core module that
# release/build_qt.sh installs for arm64, linked statically with the cross C
# library (libc6-dev-arm64-cross). What it builds runs here under
# qemu-aarch64.
#
#   qt=$(release/build_qt.sh linux-arm64)
#   cmake -S . -B build-release/linux-arm64 -DCMAKE_BUILD_TYPE=Release \
#       -DCMAKE_TOOLCHAIN_FILE=release/linux_arm64_toolchain.cmake \
#       -DSIMULATED_ERROR_ARM64_QT="$qt"
#
# SIMULATED_ERROR_ARM64_QT may come from the environment instead.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(_simulated_error_triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${_simulated_error_triple}-gcc)
set(CMAKE_CXX_COMPILER ${_simulated_error_triple}-g++)

# Cache variables do not reach try_compile's projects, which read this file
# again, the environment does.
if(NOT SIMULATED_ERROR_ARM64_QT AND DEFINED ENV{SIMULATED_ERROR_ARM64_QT})
    set(SIMULATED_ERROR_ARM64_QT "$ENV{SIMULATED_ERROR_ARM64_QT}")
endif()
set(SIMULATED_ERROR_ARM64_QT "${SIMULATED_ERROR_ARM64_QT}" CACHE PATH
    "Prefix of the Qt 5 for arm64 that release/build_qt.sh installed")
if(SIMULATED_ERROR_ARM64_QT)
    set(ENV{SIMULATED_ERROR_ARM64_QT} "${SIMULATED_ERROR_ARM64_QT}")
endif()

# Libraries, headers and CMake packages come from the cross C library and
# the Qt prefix only, never from this machine's; programs (moc, rcc) run
# here and are found anywhere.
set(CMAKE_FIND_ROOT_PATH /usr/${_simulated_error_triple})
if(SIMULATED_ERROR_ARM64_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH "${SIMULATED_ERROR_ARM64_QT}")
    list(APPEND CMAKE_PREFIX_PATH "${SIMULATED_ERROR_ARM64_QT}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(SIMULATED_ERROR_QEMU_AARCH64 qemu-aarch64 DOC "qemu-aarch64, which runs the arm64 programs built here")
if(SIMULATED_ERROR_QEMU_AARCH64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SIMULATED_ERROR_QEMU_AARCH64})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/static_linking.cmake)
