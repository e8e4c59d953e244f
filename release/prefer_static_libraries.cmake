# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Included at the end of project() by the Linux release files' toolchain
# files (see static_linking.cmake): libraries are looked up as static
# archives only.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
