# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Configures, builds, tests and installs a parent project that takes the
# fixture in with FetchContent, and checks that the parent gets the program,
# built with its own Qt 6, and nothing else of the fixture.
#   SOURCE_DIR    this checkout
#   SCRATCH       a folder the test may fill
#   OBJDUMP       objdump, to read the libraries the program needs
include(${CMAKE_CURRENT_LIST_DIR}/run_command.cmake)
file(REMOVE_RECURSE ${SCRATCH})
set(build ${SCRATCH}/build)

run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/parent -B ${build}
    -DFETCHCONTENT_SOURCE_DIR_SIMULATEDERROR=${SOURCE_DIR})
run(${CMAKE_COMMAND} --build ${build} --parallel 2)

run(${CMAKE_CTEST_COMMAND} --test-dir ${build} --show-only)
string(REGEX MATCHALL "Test +#[0-9]+: [^\n]+" tests "${output}")
if(NOT tests MATCHES "^Test +#1: parent_runs_the_fixture$")
    message(FATAL_ERROR "the parent lists tests other than its own: ${tests}")
endif()
run(${CMAKE_CTEST_COMMAND} --test-dir ${build} --output-on-failure)

file(GLOB_RECURSE built_tests ${build}/_deps/tst_* ${build}/_deps/*exec_as*)
if(built_tests)
    message(FATAL_ERROR "the parent built the fixture's tests: ${built_tests}")
endif()

run(${CMAKE_COMMAND} --install ${build} --prefix ${SCRATCH}/prefix)
file(GLOB_RECURSE installed RELATIVE ${SCRATCH}/prefix ${SCRATCH}/prefix/*)
if(NOT installed STREQUAL "share/parent_project/CMakeLists.txt")
    message(FATAL_ERROR "the parent installed more than its own file: ${installed}")
endif()

file(STRINGS ${build}/CPackConfig.cmake package_name REGEX "^set\\(CPACK_PACKAGE_NAME ")
if(NOT package_name STREQUAL "set(CPACK_PACKAGE_NAME \"parent-package\")")
    message(FATAL_ERROR "the parent's CPack settings were changed: ${package_name}")
endif()
file(STRINGS ${build}/CMakeCache.txt build_type REGEX "^CMAKE_BUILD_TYPE:")
if(NOT build_type STREQUAL "CMAKE_BUILD_TYPE:STRING=")
    message(FATAL_ERROR "the parent's build type was set: ${build_type}")
endif()

run(${OBJDUMP} -p ${build}/_deps/simulatederror-build/src/simulated_error)
if(NOT output MATCHES "NEEDED +libQt6Core")
    message(FATAL_ERROR "the program does not use the parent's Qt 6:\n${output}")
endif()
