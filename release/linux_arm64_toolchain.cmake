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

# Libraries, headers and CMake packages come from the cross C library and
# the Qt prefix only, never from this machine's.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/cross_find_roots.cmake)
simulated_error_cross_find_roots(${_simulated_error_triple} SIMULATED_ERROR_ARM64_QT
    "Prefix of the Qt 5 for arm64 that release/build_qt.sh installed")

include(${CMAKE_CURRENT_LIST_DIR}/static_linking.cmake)
