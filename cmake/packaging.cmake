# The CMake package: find_package(SimulatedError) gives the imported target
# SimulatedError::simulated_error, from an installed copy or from this build tree.
include(CMakePackageConfigHelpers)

set(SIMULATED_ERROR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/SimulatedError)

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

set(CPACK_PACKAGE_NAME simulated-error)
set(CPACK_PACKAGE_VENDOR "simulated_error developers")
set(CPACK_PACKAGE_CONTACT "simulated_error developers <simulated-error@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
