# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Builds the Debian package, checks its dependencies and, where lintian is
# installed, that lintian finds neither error nor warning; unpacks it into a
# scratch folder and runs the program from there.
#   BUILD_DIR, SCRATCH as for find_package_test.cmake
#   QT_MAJOR      the major version of Qt the program was built with
include(${CMAKE_CURRENT_LIST_DIR}/run_command.cmake)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})

run(cpack -G DEB -B ${SCRATCH} --config ${BUILD_DIR}/CPackConfig.cmake)
file(GLOB package ${SCRATCH}/*.deb)
list(LENGTH package count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one package, found: ${package}")
endif()

run(dpkg-deb --field ${package} Depends)
if(NOT output MATCHES "libqt${QT_MAJOR}core")
    message(FATAL_ERROR "the package does not depend on the Qt core runtime: ${output}")
endif()

find_program(LINTIAN lintian)
if(LINTIAN)
    run(${LINTIAN} --fail-on error,warning ${package})
    message(STATUS "lintian: ${output}")
else()
    message(STATUS "lintian is not installed: the package is not checked against Debian's policy")
endif()

run(dpkg-deb --extract ${package} ${SCRATCH}/root)
foreach(file usr/bin/simulated_error usr/share/man/man1/simulated_error.1.gz
        usr/lib/cmake/SimulatedError/SimulatedErrorConfig.cmake
        usr/share/doc/simulated-error/copyright usr/share/doc/simulated-error/changelog.gz)
    if(NOT EXISTS ${SCRATCH}/root/${file})
        message(FATAL_ERROR "the package lacks ${file}")
    endif()
endforeach()

set(PROGRAM ${SCRATCH}/root/usr/bin/simulated_error)
include(${CMAKE_CURRENT_LIST_DIR}/consumer/expect_failure.cmake)
