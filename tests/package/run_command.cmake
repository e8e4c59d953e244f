# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# run(COMMAND...): runs the command and fails the test when it fails; its
# standard output is left in the variable "output".
function(run)
    execute_process(COMMAND ${ARGV} RESULT_VARIABLE status OUTPUT_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed (${status}): ${ARGV}\n${out}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()
