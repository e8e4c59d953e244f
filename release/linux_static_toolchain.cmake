# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Builds this machine's Linux release file: with this machine's compilers,
# against the static Qt 5 core module that release/build_qt.sh installs for
# it, linked statically.
#
#   qt=$(release/build_qt.sh linux-x86_64)
#   cmake -S . -B build-release/linux-x86_64 -DCMAKE_BUILD_TYPE=Release \
#       -DCMAKE_TOOLCHAIN_FILE=release/linux_static_toolchain.cmake -DCMAKE_PREFIX_PATH="$qt"

include(${CMAKE_CURRENT_LIST_DIR}/static_linking.cmake)
