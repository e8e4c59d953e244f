# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# What the toolchain files of the Linux release files share: every program
# is linked statically, and not position-independent, so that the file needs
# nothing of the machine it runs on, not even a dynamic loader, and starts
# without relocating itself. A static Qt names the libraries it needs (-lm,
# -ldl) to CMake, which looks them up while finding Qt; the lookup must then
# take the static archives, or a static link is handed libm.so. Linux's
# platform files set the suffixes in project(), after the toolchain file, so
# they are set again once project() is done.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -no-pie")
set(CMAKE_PROJECT_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/prefer_static_libraries.cmake)
