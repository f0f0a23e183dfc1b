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
# Callers include a library's public headers as <prefix/Header.h>, so that a header's name says
# where it lives: forwarding headers in the build tree lead there, and the library's own folder
# stays off every caller's include path. Without a list, every header among the target's sources
# is public. The others are the library's own; tests and benchmarks, which look inside, reach
# them by the same names through the folders collected in VONDREL_INTERNAL_INCLUDE_DIRS.
function(vondrel_public_headers target prefix)
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.h$")
    set(public ${ARGN})
    if(NOT public)
        set(public ${sources})
    endif()
    set(all ${sources} ${public})
    list(REMOVE_DUPLICATES all)
    set(include_dir "${CMAKE_CURRENT_BINARY_DIR}/include")
    set(internal_dir "${CMAKE_CURRENT_BINARY_DIR}/include_internal")
    foreach(header IN LISTS all)
        if(header IN_LIST public)
            set(dir "${include_dir}")
        else()
            set(dir "${internal_dir}")
        endif()
        list(APPEND wanted "${dir}/${prefix}/${header}")
        file(CONFIGURE OUTPUT "${dir}/${prefix}/${header}"
             CONTENT "#include \"${CMAKE_CURRENT_SOURCE_DIR}/${header}\"\n")
    endforeach()
    # A header that left the list must not stay reachable from an earlier configuration.
    file(GLOB_RECURSE generated "${include_dir}/*.h" "${internal_dir}/*.h")
    foreach(file IN LISTS generated)
        if(NOT file IN_LIST wanted)
            file(REMOVE "${file}")
        endif()
    endforeach()
    target_include_directories(${target} PUBLIC "${include_dir}"
                                         PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
    set_property(GLOBAL APPEND PROPERTY VONDREL_INTERNAL_INCLUDE_DIRS "${internal_dir}")
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
