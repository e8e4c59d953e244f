# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# For the toolchain files that cross-build against a Qt of the target's own:
#   simulated_error_cross_find_roots(TRIPLE QT_VARIABLE DOC)
# makes QT_VARIABLE a cache path (DOC describes it), taken from the
# environment where it is not given, and has libraries, headers and CMake
# packages come from the target's C library under /usr/TRIPLE and that Qt
# prefix only, never from this machine's; programs (moc, rcc) run here and
# are found anywhere. Cache variables do not reach try_compile's projects,
# which read the toolchain file again; the environment does, so the prefix
# is put there too.
macro(simulated_error_cross_find_roots triple qt_variable doc)
    if(NOT ${qt_variable} AND DEFINED ENV{${qt_variable}})
        set(${qt_variable} "$ENV{${qt_variable}}")
    endif()
    set(${qt_variable} "${${qt_variable}}" CACHE PATH "${doc}")
    set(CMAKE_FIND_ROOT_PATH /usr/${triple})
    if(${qt_variable})
        set(ENV{${qt_variable}} "${${qt_variable}}")
        list(APPEND CMAKE_FIND_ROOT_PATH "${${qt_variable}}")
        list(APPEND CMAKE_PREFIX_PATH "${${qt_variable}}")
    endif()
    set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
    set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endmacro()
