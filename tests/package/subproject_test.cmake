# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Configures a parent project that takes the fixture in with FetchContent
# (or the fixture on its own) and checks the Qt the fixture chose. With BUILD,
# then builds, tests and installs the parent, and checks that it gets the
# program, built with that Qt, and nothing else of the fixture.
#   SOURCE_DIR    this checkout
#   SCRATCH       a folder the test may fill
#   OBJDUMP       objdump, to read the libraries the program needs
#   PARENT        "qt6": a parent that finds Qt 6 itself; "no_qt": a parent
#                 that finds no Qt; "no_qt_then_qt6": one that finds no Qt
#                 (the fixture takes Qt 5) and is then configured again in
#                 the same folder finding Qt 6; "none": no parent, the fixture
#                 on its own
#   EXPECT_QT     the major version of Qt the fixture must choose, or "none":
#                 it must stop with one message that names what to install
#   BUILD         ON or OFF
# The test hides from CMake the Qts that a row's machine has not installed.
include(${CMAKE_CURRENT_LIST_DIR}/run_command.cmake)
file(REMOVE_RECURSE ${SCRATCH})
set(build ${SCRATCH}/build)

# Fails unless the configure's result and output show the expected Qt.
function(check_qt_choice status output errors)
    if(EXPECT_QT STREQUAL "none")
        string(REGEX MATCHALL "CMake Error" reports "${errors}")
        list(LENGTH reports count)
        if(status EQUAL 0 OR NOT count EQUAL 1 OR NOT errors MATCHES "qtbase5-dev"
           OR NOT errors MATCHES "qt6-base-dev")
            message(FATAL_ERROR "expected one error that names qtbase5-dev and qt6-base-dev, "
                "got status ${status}:\n${errors}")
        endif()
        message(STATUS "as expected:\n${errors}")
        return()
    endif()
    string(REGEX MATCH "simulated_error: building with Qt [0-9.]+" chosen "${output}")
    if(NOT status EQUAL 0 OR NOT chosen MATCHES "Qt ${EXPECT_QT}\\.")
        message(FATAL_ERROR "expected Qt ${EXPECT_QT}, got status ${status}:\n${output}\n${errors}")
    endif()
    message(STATUS "${chosen}")
endfunction()

if(PARENT STREQUAL "none")
    set(configure -S ${SOURCE_DIR} -DBUILD_TESTING=OFF)
else()
    if(PARENT STREQUAL "no_qt")
        set(parent_finds_qt6 OFF)
    else()
        set(parent_finds_qt6 ON)
    endif()
    set(configure -S ${CMAKE_CURRENT_LIST_DIR}/parent
        -DFETCHCONTENT_SOURCE_DIR_SIMULATEDERROR=${SOURCE_DIR})
    if(PARENT STREQUAL "no_qt_then_qt6")
        execute_process(COMMAND ${CMAKE_COMMAND} ${configure} -DPARENT_FINDS_QT6=OFF -B ${build}
            RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
        if(NOT status EQUAL 0 OR NOT output MATCHES "simulated_error: building with Qt 5\\.")
            message(FATAL_ERROR "the first configure did not take Qt 5:\n${output}\n${errors}")
        endif()
    endif()
    list(APPEND configure -DPARENT_FINDS_QT6=${parent_finds_qt6})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} ${configure} -B ${build}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
check_qt_choice("${status}" "${output}" "${errors}")
if(NOT BUILD)
    return()
endif()

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
if(NOT output MATCHES "NEEDED +libQt${EXPECT_QT}Core")
    message(FATAL_ERROR "the program does not use Qt ${EXPECT_QT}:\n${output}")
endif()
