# Sanitizer and fuzz builds. Both are meant for clang; CI configures one build with both, so
# the tests run under the sanitizers and the fuzz targets share the same instrumented libraries.
#
#   -DVONDREL_SANITIZE=address,undefined   every target built and linked with these sanitizers;
#                                          any report ends the process (no recovery)
#   -DVONDREL_FUZZ=ON                      libraries carry libFuzzer's coverage instrumentation
#                                          and tests/fuzz/ builds real fuzzers (clang only)

set(VONDREL_SANITIZE "" CACHE STRING "Sanitizers for every target, e.g. address,undefined")
option(VONDREL_FUZZ "Build the fuzz targets in tests/fuzz/ as libFuzzer fuzzers (clang)" OFF)

# Environment for every test of this build; filled below when sanitizers are on.
set(VONDREL_SANITIZER_ENVIRONMENT "")

if(VONDREL_SANITIZE)
    add_compile_options(-fsanitize=${VONDREL_SANITIZE} -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${VONDREL_SANITIZE})
    # Bounds checks in the standard library's containers as well.
    add_compile_definitions(_GLIBCXX_ASSERTIONS)

    # Leaks are reported, except those of system libraries listed in the suppression file.
    # An allocation that cannot be satisfied returns null, as it does outside the sanitizer, so
    # what is judged is how the code copes with that (Qt reads length fields of stored variants
    # and asks for that much before it finds the data missing); the fuzzers still report any
    # allocation above their memory limit that succeeds.
    set(VONDREL_LSAN_SUPPRESSIONS "${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
    set(VONDREL_SANITIZER_ENVIRONMENT
        "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:allocator_may_return_null=1"
        "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
        "LSAN_OPTIONS=suppressions=${VONDREL_LSAN_SUPPRESSIONS}:print_suppressions=0")
endif()

if(VONDREL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VONDREL_FUZZ needs clang (libFuzzer); configure with "
                            "-DCMAKE_CXX_COMPILER=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
