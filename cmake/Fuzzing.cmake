# libFuzzer targets (clang only). Each one also becomes a short, bounded ctest
# run over its seed corpus, so the sanitizer build fuzzes a little on every run.
set(CANTREL_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs under ctest")

# cantrel_fuzzer(<name> SOURCES <files...> LIBRARIES <libs...> [SEEDS <folders...>])
function(cantrel_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;SEEDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    cantrel_target(${name})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
    # The code under test needs the coverage instrumentation too, or the
    # fuzzer sees only its own entry point.
    foreach(library ${ARG_LIBRARIES})
        if(TARGET ${library})
            target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
        endif()
    endforeach()
    if(CANTREL_TESTS)
        # New inputs go to a scratch corpus in the build tree; the seeds stay untouched.
        set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
        add_test(NAME fuzz.${name}
                 COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                         $<TARGET_FILE:${name}> -max_total_time=${CANTREL_FUZZ_SECONDS} -timeout=10
                         -rss_limit_mb=2048 -print_final_stats=1 ${corpus} ${ARG_SEEDS})
        set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz)
        file(MAKE_DIRECTORY ${corpus})
    endif()
endfunction()
