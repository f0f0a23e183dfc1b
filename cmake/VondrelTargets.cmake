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

# vondrel_public_headers(<target> <prefix> [<headers...>])
# Callers include a library's headers as <prefix/Header.h>, so that a header's name says where
# it lives: forwarding headers in the build tree lead there, and the library's own folder stays
# off every caller's include path. Without a list, every header among the target's sources is
# public.
function(vondrel_public_headers target prefix)
    set(headers ${ARGN})
    if(NOT headers)
        get_target_property(sources ${target} SOURCES)
        list(FILTER sources INCLUDE REGEX "\\.h$")
        set(headers ${sources})
    endif()
    set(include_dir "${CMAKE_CURRENT_BINARY_DIR}/include")
    foreach(header IN LISTS headers)
        file(CONFIGURE OUTPUT "${include_dir}/${prefix}/${header}"
             CONTENT "#include \"${CMAKE_CURRENT_SOURCE_DIR}/${header}\"\n")
    endforeach()
    target_include_directories(${target} PUBLIC "${include_dir}"
                                         PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()

# vondrel_assert_no_widgets(<target>)
# Fails the configuration when the target or anything it links, directly or through other
# libraries, is Qt Widgets: code that must run without a window stays free of widgets.
function(vondrel_assert_no_widgets target)
    set(pending ${target})
    set(seen)
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        if(current MATCHES "^Qt6?::Widgets$")
            message(FATAL_ERROR "${target} links Qt Widgets; it reaches: ${seen}")
        endif()
        if(NOT TARGET ${current})
            continue()
        endif()
        get_target_property(aliased ${current} ALIASED_TARGET)
        if(aliased)
            list(APPEND pending ${aliased})
        endif()
        foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
            get_target_property(links ${current} ${property})
            if(NOT links)
                continue()
            endif()
            foreach(link IN LISTS links)
                string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
                if(NOT link MATCHES "^\\$<")
                    list(APPEND pending ${link})
                endif()
            endforeach()
        endforeach()
    endwhile()
endfunction()
