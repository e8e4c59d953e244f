# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# Which of Linux's own calls this system has. The program uses each only
# where it is found here, with the POSIX way beside it:
#
# | found                      | used for                            | without it                         |
# |----------------------------|-------------------------------------|------------------------------------|
# | tee, splice, pipe2         | looking into a pipe                 | a pipe is read one byte at a time  |
# | mremap                     | growing the line without copying    | mapping anew and copying           |
# | MADV_HUGEPAGE              | huge pages for a long line          | ordinary pages                     |
# | epoll_create1              | waiting where poll misleads         | sleeping, longer each time         |
# | POLLRDHUP                  | seeing a socket shut down for reading | only a peer that is gone is seen |
# | SO_PEEK_OFF                | seeing a socket's peek offset       | (no such offset exists)            |
# | TIOCGPKT                   | asking a master for packet mode     | told by a look of one byte         |
# | O_DIRECT                   | aligned reads of such a file        | (no such files exist)              |
#
# SIMULATED_ERROR_POSIX_ONLY builds with none of them; it is on by itself
# where the checks find Linux's calls for pipes, memory or waiting missing.
include(CheckCXXSymbolExists)
include(CMakePushCheckState)

set(simulated_error_linux_features
    TEE MREMAP MADV_HUGEPAGE EPOLL POLLRDHUP SO_PEEK_OFF TIOCGPKT O_DIRECT)

if(NOT WIN32)
    cmake_push_check_state(RESET)
    set(CMAKE_REQUIRED_QUIET ON)
    check_cxx_symbol_exists(tee fcntl.h SIMULATED_ERROR_FOUND_TEE_CALL)
    check_cxx_symbol_exists(splice fcntl.h SIMULATED_ERROR_FOUND_SPLICE)
    check_cxx_symbol_exists(pipe2 "fcntl.h;unistd.h" SIMULATED_ERROR_FOUND_PIPE2)
    if(SIMULATED_ERROR_FOUND_TEE_CALL AND SIMULATED_ERROR_FOUND_SPLICE AND SIMULATED_ERROR_FOUND_PIPE2)
        set(SIMULATED_ERROR_FOUND_TEE ON)
    endif()
    check_cxx_symbol_exists(mremap sys/mman.h SIMULATED_ERROR_FOUND_MREMAP)
    check_cxx_symbol_exists(MADV_HUGEPAGE sys/mman.h SIMULATED_ERROR_FOUND_MADV_HUGEPAGE)
    check_cxx_symbol_exists(epoll_create1 sys/epoll.h SIMULATED_ERROR_FOUND_EPOLL)
    check_cxx_symbol_exists(POLLRDHUP poll.h SIMULATED_ERROR_FOUND_POLLRDHUP)
    check_cxx_symbol_exists(SO_PEEK_OFF sys/socket.h SIMULATED_ERROR_FOUND_SO_PEEK_OFF)
    check_cxx_symbol_exists(TIOCGPKT sys/ioctl.h SIMULATED_ERROR_FOUND_TIOCGPKT)
    check_cxx_symbol_exists(O_DIRECT fcntl.h SIMULATED_ERROR_FOUND_O_DIRECT)
    cmake_pop_check_state()
endif()

set(posix_only_default OFF)
if(NOT WIN32 AND NOT (SIMULATED_ERROR_FOUND_TEE AND SIMULATED_ERROR_FOUND_MREMAP
                      AND SIMULATED_ERROR_FOUND_EPOLL))
    set(posix_only_default ON)
endif()
option(SIMULATED_ERROR_POSIX_ONLY
    "Build with POSIX calls alone, none of Linux's own (tee, splice, pipe2, mremap, epoll)"
    ${posix_only_default})
if(NOT WIN32)
    set(found "")
    foreach(feature IN LISTS simulated_error_linux_features)
        if(SIMULATED_ERROR_FOUND_${feature} AND feature MATCHES "^(TEE|MREMAP|EPOLL)$")
            string(TOLOWER ${feature} feature)
            list(APPEND found ${feature})
        elseif(SIMULATED_ERROR_FOUND_${feature})
            list(APPEND found ${feature})
        endif()
    endforeach()
    if(SIMULATED_ERROR_POSIX_ONLY)
        message(STATUS "simulated_error: building with POSIX calls alone")
    else()
        string(REPLACE ";" ", " found "${found}")
        message(STATUS "simulated_error: building with Linux's ${found}")
    endif()
endif()

# Whether a target's code may use the feature's calls (ON or OFF): where they
# were found, and not for a POSIX-only build.
function(simulated_error_may_use out feature posix_only)
    if(SIMULATED_ERROR_FOUND_${feature} AND NOT posix_only)
        set(${out} ON PARENT_SCOPE)
    else()
        set(${out} OFF PARENT_SCOPE)
    endif()
endfunction()

# The compile definitions that tell a target's code which of the calls it may
# use: all that were found, or none for a POSIX-only build.
function(simulated_error_system_call_definitions out posix_only)
    if(posix_only)
        set(definitions SIMULATED_ERROR_POSIX_ONLY=1)
    else()
        set(definitions SIMULATED_ERROR_POSIX_ONLY=0)
    endif()
    foreach(feature IN LISTS simulated_error_linux_features)
        simulated_error_may_use(may ${feature} "${posix_only}")
        if(may)
            list(APPEND definitions SIMULATED_ERROR_HAVE_${feature}=1)
        else()
            list(APPEND definitions SIMULATED_ERROR_HAVE_${feature}=0)
        endif()
    endforeach()
    set(${out} ${definitions} PARENT_SCOPE)
endfunction()
