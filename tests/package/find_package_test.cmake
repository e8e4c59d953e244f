# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Builds the consumer project against the package and runs its test.
#   BUILD_DIR     this project's build tree
#   SCRATCH       a folder the test may fill
#   FROM          "install" (install into SCRATCH first) or "build-tree"
#   SOURCE_DIR    this folder
include(${CMAKE_CURRENT_LIST_DIR}/run_command.cmake)
file(REMOVE_RECURSE ${SCRATCH})

if(FROM STREQUAL "install")
    run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${SCRATCH}/prefix)
    set(where -DCMAKE_PREFIX_PATH=${SCRATCH}/prefix)
else()
    set(where -DSimulatedError_DIR=${BUILD_DIR})
endif()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/consumer -B ${SCRATCH}/consumer ${where})
run(${CMAKE_CTEST_COMMAND} --test-dir ${SCRATCH}/consumer --output-on-failure)
