# SPDX-FileCopyrightText: 2026 simulated_error developers
# SPDX-License-Identifier: MIT

# What a distribution builds its programs with, as the interface library
# simulated_error_distribution for the program and its core:
# - with SIMULATED_ERROR_HARDEN, the hardening that Debian's build flags with
#   hardening=+all give: PIE, stack protector, stack clash protection,
#   code compiled for control-flow protection where the processor has it
#   (which the linker switches on only where every object has it: Debian
#   12's C library start files do not), _FORTIFY_SOURCE=2
#   where optimising, and RELRO with immediate binding. Where the user's own
#   flags already choose one of these (either way), their choice stands.
# - paths in the binary that do not depend on the folders of the checkout and
#   the build, so that two checkouts build the same bytes.
# - with a static Qt, only the code the program calls.
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckPIESupported)

add_library(simulated_error_distribution INTERFACE)

string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
set(user_compile_flags "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}}")
set(user_link_flags "${CMAKE_EXE_LINKER_FLAGS} ${CMAKE_EXE_LINKER_FLAGS_${build_type}}")

# Adds the compile flag unless the user's flags match the pattern or the
# compiler does not take it (-fcf-protection is for x86 only).
function(simulated_error_harden_compile pattern flag)
    if(user_compile_flags MATCHES "${pattern}")
        return()
    endif()
    string(MAKE_C_IDENTIFIER "SIMULATED_ERROR_COMPILER_TAKES${flag}" takes)
    check_cxx_compiler_flag(${flag} ${takes})
    if(${takes})
        target_compile_options(simulated_error_distribution INTERFACE ${flag})
        # MinGW-w64's runtime keeps the stack protector's checks in libssp,
        # which the compiler links only when told the flag at link time.
        if(WIN32)
            target_link_options(simulated_error_distribution INTERFACE ${flag})
        endif()
    endif()
endfunction()

if(SIMULATED_ERROR_HARDEN)
    # Qt has every file that uses it compiled with -fPIC, which also serves a
    # position-independent executable.
    check_pie_supported(LANGUAGES CXX OUTPUT_VARIABLE pie_message)
    if(CMAKE_CXX_LINK_PIE_SUPPORTED AND NOT user_link_flags MATCHES "-(no-)?pie")
        target_link_options(simulated_error_distribution INTERFACE -pie)
    endif()
    simulated_error_harden_compile("-f(no-)?stack-protector" -fstack-protector-strong)
    # Windows probes every page of a large stack frame itself, and MinGW-w64's
    # GCC 12 fails on this flag where it emits Windows' unwind tables.
    if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
        simulated_error_harden_compile("-f(no-)?stack-clash-protection" -fstack-clash-protection)
    endif()
    simulated_error_harden_compile("-fcf-protection" -fcf-protection)

    # Fortified calls need optimisation, and would bypass the checks of
    # AddressSanitizer. A compiler that defines the macro itself would warn
    # about a second definition.
    if(NOT SIMULATED_ERROR_SANITIZE AND NOT user_compile_flags MATCHES "_FORTIFY_SOURCE")
        set(CMAKE_REQUIRED_FLAGS -O2)
        check_cxx_source_compiles("#ifdef _FORTIFY_SOURCE\n#error\n#endif\nint main() { return 0; }"
            SIMULATED_ERROR_FORTIFY_UNDEFINED)
        unset(CMAKE_REQUIRED_FLAGS)
        if(SIMULATED_ERROR_FORTIFY_UNDEFINED)
            target_compile_definitions(simulated_error_distribution INTERFACE
                $<$<OR:$<CONFIG:Release>,$<CONFIG:RelWithDebInfo>,$<CONFIG:MinSizeRel>>:_FORTIFY_SOURCE=2>)
        endif()
    endif()

    if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
        if(NOT user_link_flags MATCHES "relro")
            target_link_options(simulated_error_distribution INTERFACE -Wl,-z,relro)
        endif()
        if(NOT user_link_flags MATCHES "-z,now|-z now|bind_now")
            target_link_options(simulated_error_distribution INTERFACE -Wl,-z,now)
        endif()
    endif()
endif()

# A static Qt is linked into the program, which calls little of it: with
# each function and object in a section of its own and the sections nothing
# refers to left out, the self-contained file is 1.9 MB (30 %) smaller. Qt's
# own static library is built that way already.
get_target_property(qt_core_type ${SIMULATED_ERROR_QT}::Core TYPE)
if(qt_core_type STREQUAL "STATIC_LIBRARY" AND CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
    target_compile_options(simulated_error_distribution INTERFACE -ffunction-sections -fdata-sections)
    target_link_options(simulated_error_distribution INTERFACE -Wl,--gc-sections)
endif()

# The last map given is tried first, so a build folder inside the checkout
# is mapped as the build folder.
check_cxx_compiler_flag(-ffile-prefix-map=/old=/new SIMULATED_ERROR_COMPILER_MAPS_PATHS)
if(SIMULATED_ERROR_COMPILER_MAPS_PATHS)
    target_compile_options(simulated_error_distribution INTERFACE
        -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
endif()
