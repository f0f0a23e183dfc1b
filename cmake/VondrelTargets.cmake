# Helpers shared by the test and benchmark folders.

# The environment of every test: headless, in the Berlin time zone so that date logic
# (daylight saving included) is reproducible, and the sanitizers' options in such a build.
set(VONDREL_TEST_ENVIRONMENT QT_QPA_PLATFORM=offscreen TZ=Europe/Berlin LC_ALL=C.UTF-8
                             ${VONDREL_SANITIZER_ENVIRONMENT})

# vondrel_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One QtTest executable, registered with ctest.
function(vondrel_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VONDREL_TEST_ENVIRONMENT}"
                                            TIMEOUT 600)
endfunction()

# vondrel_add_benchmark(<name> SOURCES <files...> LIBS <targets...>)
# A Google Benchmark executable. Built with everything else, never run by ctest.
function(vondrel_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
endfunction()
