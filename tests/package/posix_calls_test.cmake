# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.16)

# A program built with POSIX calls alone calls none of Linux's own. Where
# LINUX_PROGRAM is given, the same check must find them in it, so that a
# check that finds nothing anywhere cannot pass.
#   cmake -DNM=nm -DPROGRAM=path [-DLINUX_PROGRAM=path] -P posix_calls_test.cmake

set(linux_calls "^(tee|splice|pipe2|mremap|epoll_[a-z_0-9]+)(@.*)?$")

function(linux_calls_of program out)
    execute_process(COMMAND ${NM} --dynamic --undefined-only --format=just-symbols ${program}
        OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${NM} could not read ${program}")
    endif()
    string(REPLACE "\n" ";" symbols "${symbols}")
    list(FILTER symbols INCLUDE REGEX "${linux_calls}")
    set(${out} "${symbols}" PARENT_SCOPE)
endfunction()

linux_calls_of("${PROGRAM}" found)
if(found)
    message(FATAL_ERROR "${PROGRAM} calls Linux's own: ${found}")
endif()
if(LINUX_PROGRAM)
    linux_calls_of("${LINUX_PROGRAM}" found)
    if(NOT found)
        message(FATAL_ERROR "no Linux call found in ${LINUX_PROGRAM}: the check sees nothing")
    endif()
    message(STATUS "${LINUX_PROGRAM} calls ${found}; the POSIX-only program none of them")
endif()
