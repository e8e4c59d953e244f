# Runs PROGRAM as a process runner would and checks every byte of the result.
file(WRITE input.txt "hello\nnot read\n")
execute_process(COMMAND ${PROGRAM} one two
    INPUT_FILE input.txt
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    RESULT_VARIABLE status)

if(NOT status EQUAL 10)
    message(FATAL_ERROR "exit status ${status}, expected 10")
endif()
if(NOT out STREQUAL "${PROGRAM};one;two;hello\n")
    message(FATAL_ERROR "standard output was [${out}]")
endif()
if(NOT err STREQUAL "this is a simulated error\n")
    message(FATAL_ERROR "standard error was [${err}]")
endif()
