# Kernel-mode drivers (.sys) built with the MinGW-w64 cross compiler: the
# freestanding C++ subset (no exceptions, RTTI, floating point, standard
# library or static constructors), linked against ntoskrnl alone with the
# native subsystem and DriverEntry as the entry point.
find_path(VEXON_DDK_INCLUDE_DIR ntddk.h PATH_SUFFIXES ddk
          DOC "The MinGW-w64 driver kit headers (package mingw-w64-x86-64-dev)")
if(NOT VEXON_DDK_INCLUDE_DIR)
    message(FATAL_ERROR "ntddk.h not found: the MinGW-w64 driver kit headers are missing")
endif()

set(VEXON_KERNEL_COMPILE_OPTIONS
    -ffreestanding
    -fno-exceptions
    -fno-rtti
    -fno-threadsafe-statics
    -fno-stack-protector
    # No floating point or vector registers: the kernel does not save them.
    -mgeneral-regs-only
    # Kernel stacks are small.
    -Wframe-larger-than=3072
)

# The toolchain file adds -static -static-libgcc -static-libstdc++ to every
# shared link; with -nostdlib they select nothing, and the driver links
# against the import library of ntoskrnl only.
set(VEXON_KERNEL_LINK_OPTIONS
    -nostdlib
    -Wl,--subsystem,native
    -Wl,--entry,DriverEntry
    -Wl,--no-undefined
    # A driver exports nothing.
    -Wl,--exclude-all-symbols
)

# The Win32 libraries CMake links into every Windows target have no place
# in a driver (this applies to the directory that includes this file).
set(CMAKE_C_STANDARD_LIBRARIES "")
set(CMAKE_CXX_STANDARD_LIBRARIES "")

# vexon_add_kernel_driver(NAME SOURCES src... [PORTABLE_SOURCES src...]
#                         [INCLUDES dir...])
# Builds NAME.sys. The portable sources (shared with the host build) see the
# driver kit's headers first, as the kernel files do, so that both agree on
# the Windows types (MOUSE_INPUT_DATA).
function(vexon_add_kernel_driver name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;PORTABLE_SOURCES;INCLUDES")
    add_library(${name} SHARED ${ARG_SOURCES} ${ARG_PORTABLE_SOURCES})
    if(ARG_PORTABLE_SOURCES)
        set_property(SOURCE ${ARG_PORTABLE_SOURCES} TARGET_DIRECTORY ${name} APPEND PROPERTY
                     COMPILE_OPTIONS -include ${CMAKE_SOURCE_DIR}/driver/kernel/kernel_headers.h)
    endif()
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".sys"
                                             # No import library for a driver.
                                             ARCHIVE_OUTPUT_NAME "${name}-unused")
    target_include_directories(${name} PRIVATE ${ARG_INCLUDES})
    target_include_directories(${name} SYSTEM PRIVATE ${VEXON_DDK_INCLUDE_DIR})
    target_compile_options(${name} PRIVATE ${VEXON_KERNEL_COMPILE_OPTIONS})
    target_link_options(${name} PRIVATE ${VEXON_KERNEL_LINK_OPTIONS})
    target_link_libraries(${name} PRIVATE ntoskrnl)
    vexon_warnings(${name})
endfunction()
