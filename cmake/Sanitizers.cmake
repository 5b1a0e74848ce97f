# Optional instrumented builds.
#
# QUARVINE_SANITIZE=ON builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer. Undefined behaviour aborts at once instead of
# printing a warning and going on, so a test that trips it fails.
#
# QUARVINE_FUZZ_FLAGS is set by fuzz/CMakeLists.txt for its own targets only.

option(QUARVINE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(QUARVINE_SANITIZE)
    set(quarvine_sanitize_flags
        -fsanitize=address,undefined
        -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    add_compile_options(${quarvine_sanitize_flags})
    add_link_options(${quarvine_sanitize_flags})
endif()

# Repeated builds (the sanitizer build, CI runs on the same machine) reuse
# compiled objects when ccache is installed.
find_program(QUARVINE_CCACHE ccache)
if(QUARVINE_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(CMAKE_CXX_COMPILER_LAUNCHER "${QUARVINE_CCACHE}")
endif()
