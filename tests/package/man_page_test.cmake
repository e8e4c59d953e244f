# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Renders the man page and fails on any warning from groff or man.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
        ${MAN} --warnings -l ${PAGE}
    RESULT_VARIABLE status OUTPUT_VARIABLE page ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "man page: status ${status}\n${warnings}")
endif()
if(NOT page MATCHES "this is a simulated error")
    message(FATAL_ERROR "man page rendered without its contract:\n${page}")
endif()
