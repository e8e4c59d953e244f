# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# The CMake package: find_package(SimulatedError) gives the imported target
# SimulatedError::simulated_error, from an installed copy or from this build
# tree. At the top level also the Debian package, through CPack.
include(CMakePackageConfigHelpers)

set(SIMULATED_ERROR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/SimulatedError)
# Named after the Debian package, as Debian's policy asks of its documents.
set(SIMULATED_ERROR_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/simulated-error)

configure_package_config_file(cmake/SimulatedErrorConfig.cmake.in
    ${PROJECT_BINARY_DIR}/SimulatedErrorConfig.cmake
    INSTALL_DESTINATION ${SIMULATED_ERROR_CMAKE_DIR})
# The program's contract is what a version promises, not its build: any
# 1.x copy serves a consumer that asks for 1.y with y <= x.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/SimulatedErrorConfigVersion.cmake
    COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)

install(EXPORT SimulatedErrorTargets
    NAMESPACE SimulatedError::
    DESTINATION ${SIMULATED_ERROR_CMAKE_DIR})
install(FILES
    ${PROJECT_BINARY_DIR}/SimulatedErrorConfig.cmake
    ${PROJECT_BINARY_DIR}/SimulatedErrorConfigVersion.cmake
    DESTINATION ${SIMULATED_ERROR_CMAKE_DIR})

# Build-tree package, for projects that point SimulatedError_DIR at this build.
export(EXPORT SimulatedErrorTargets
    NAMESPACE SimulatedError::
    FILE ${PROJECT_BINARY_DIR}/SimulatedErrorTargets.cmake)

# The license goes with every copy, in Debian's machine-readable form, and
# on Linux the changelog with it, for the Debian package.
if(WIN32)
    install(FILES cmake/debian/copyright DESTINATION ${SIMULATED_ERROR_DOC_DIR})
    return()
endif()
set(SIMULATED_ERROR_MAINTAINER "simulated_error developers <simulated-error@example.org>"
    CACHE STRING "The maintainer the Debian package and its changelog name: set your own")
configure_file(cmake/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
find_program(GZIP_COMMAND gzip REQUIRED)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
    COMMAND ${GZIP_COMMAND} -9 -n -k -f changelog
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/debian
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog
    VERBATIM)
add_custom_target(simulated_error_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES cmake/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
    DESTINATION ${SIMULATED_ERROR_DOC_DIR})

if(NOT SIMULATED_ERROR_IS_TOP_LEVEL)
    return()
endif()

set(CPACK_PACKAGE_NAME simulated-error)
set(CPACK_PACKAGE_VENDOR "simulated_error developers")
set(CPACK_PACKAGE_CONTACT ${SIMULATED_ERROR_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fixture command that fails the same way every time")
set(CPACK_PACKAGE_DESCRIPTION "\
simulated_error plays the part of an external command that fails, for the
tests of build tools, job runners, IDEs and test harnesses that start
commands. It echoes its argument vector and the first line of its standard
input to standard output, writes one fixed error line to standard error and
exits with status 10, byte for byte the same on every run. It takes exactly
its first line from a file, a pipe, a stream socket or a terminal, leaving the
rest for the next reader, reads a message socket a whole message at a time,
and never hangs after its input has ended.
.
The package also holds its manual page and a CMake package that gives the
imported target SimulatedError::simulated_error.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSES/MIT.txt)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
