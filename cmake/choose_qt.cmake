# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Finds the Qt to build with and sets SIMULATED_ERROR_QT (Qt5 or Qt6) and
# SIMULATED_ERROR_QT_MAJOR. SIMULATED_ERROR_QT_MAJOR, where given, chooses.
# Otherwise a parent build's Qt comes first, so that one process never loads
# two Qts: Qt 5 where it found Qt 5, Qt 6 where it found only Qt 6. With
# neither, Qt 5 where the machine has it and Qt 6 where it has only Qt 6, as
# Qt advises for code that builds with both.

# Qt::endl and Qt::flush need Qt 5.14; Qt 6.2 is the first Qt 6 with a
# long-term release. Debian names the packages that hold them as below.
set(simulated_error_minimum_qt5 5.14)
set(simulated_error_minimum_qt6 6.2)
set(simulated_error_debian_qt5 qtbase5-dev)
set(simulated_error_debian_qt6 qt6-base-dev)

if(DEFINED SIMULATED_ERROR_QT_MAJOR)
    if(NOT SIMULATED_ERROR_QT_MAJOR MATCHES "^[56]$")
        message(FATAL_ERROR "SIMULATED_ERROR_QT_MAJOR is 5 or 6, not ${SIMULATED_ERROR_QT_MAJOR}")
    endif()
    set(qt_candidates ${SIMULATED_ERROR_QT_MAJOR})
# The parent's targets come before the folders CMake caches: a folder may be
# what this project itself found on an earlier configure, before the parent
# turned to the other Qt. A folder alone is a parent that looked Qt up by name.
elseif(NOT SIMULATED_ERROR_IS_TOP_LEVEL AND TARGET Qt5::Core)
    set(qt_candidates 5)
elseif(NOT SIMULATED_ERROR_IS_TOP_LEVEL AND TARGET Qt6::Core)
    set(qt_candidates 6)
elseif(NOT SIMULATED_ERROR_IS_TOP_LEVEL AND Qt5_DIR)
    set(qt_candidates 5)
elseif(NOT SIMULATED_ERROR_IS_TOP_LEVEL AND Qt6_DIR)
    set(qt_candidates 6)
else()
    set(qt_candidates 5 6)
endif()

# Quietly, so that a machine with only one of them sees no complaint about
# the other, and one with neither sees the one message below.
set(qt_found_major "")
foreach(major IN LISTS qt_candidates)
    find_package(Qt${major} ${simulated_error_minimum_qt${major}} QUIET COMPONENTS Core)
    if(Qt${major}_FOUND)
        set(qt_found_major ${major})
        break()
    endif()
endforeach()

if(NOT qt_found_major)
    set(wanted "")
    foreach(major IN LISTS qt_candidates)
        list(APPEND wanted
            "Qt ${simulated_error_minimum_qt${major}} or later (Debian: ${simulated_error_debian_qt${major}})")
    endforeach()
    list(JOIN wanted " or " wanted)
    message(FATAL_ERROR "simulated_error needs the core module of ${wanted}; none was found. "
        "Install one, or point CMAKE_PREFIX_PATH at one. "
        "SIMULATED_ERROR_QT_MAJOR=5 or 6 chooses where both are found.")
endif()

# The choice made here is not cached: only a value the user or the parent
# gave chooses on the next configure, so that a parent that turns to Qt 6, or
# a machine that loses Qt 5, is followed.
set(SIMULATED_ERROR_QT_MAJOR ${qt_found_major})
set(SIMULATED_ERROR_QT Qt${SIMULATED_ERROR_QT_MAJOR})
message(STATUS "simulated_error: building with Qt ${${SIMULATED_ERROR_QT}Core_VERSION}")
