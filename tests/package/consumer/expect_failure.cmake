# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Runs PROGRAM as a process runner would and checks every byte of the result.

# The program writes each byte of an argument as one Latin-1 character in
# UTF-8, so a byte from 0x80 to 0xFF in its path comes back as two bytes.
function(echo_of element out)
    string(HEX "${element}" hex)
    string(REGEX MATCHALL ".." bytes "${hex}")
    set(codes "")
    foreach(byte IN LISTS bytes)
        math(EXPR value "0x${byte}")
        if(value LESS 128)
            list(APPEND codes ${value})
        else()
            math(EXPR lead "0xC0 | (${value} >> 6)")
            math(EXPR trail "0x80 | (${value} & 0x3F)")
            list(APPEND codes ${lead} ${trail})
        endif()
    endforeach()
    string(ASCII ${codes} echo)
    set(${out} "${echo}" PARENT_SCOPE)
endfunction()

file(WRITE input.txt "hello\nnot read\n")
execute_process(COMMAND ${PROGRAM} one two
    INPUT_FILE input.txt
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    RESULT_VARIABLE status)

echo_of("${PROGRAM}" name)
if(NOT status EQUAL 10)
    message(FATAL_ERROR "exit status ${status}, expected 10")
endif()
if(NOT out STREQUAL "${name};one;two;hello\n")
    message(FATAL_ERROR "standard output was [${out}]")
endif()
if(NOT err STREQUAL "this is a simulated error\n")
    message(FATAL_ERROR "standard error was [${err}]")
endif()
