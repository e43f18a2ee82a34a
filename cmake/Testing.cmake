# Test helpers. Natively every GoogleTest case is its own ctest test; a Windows
# test binary runs as one ctest test under Wine, as a Wine start costs far more
# than a test case.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
    # Debian ships GoogleTest's sources; build them with the cross compiler.
    # SYSTEM: its headers, included by every test, are not held to our
    # warnings (natively they come from the system's include folder anyway).
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    # Its CMake file turns extensions off under an older policy, which then
    # leaves the compiler's GNU dialect on; under the newer one it builds, as
    # our targets do, as C++17 without extensions.
    set(CMAKE_POLICY_DEFAULT_CMP0128 NEW)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # GoogleTest's own CMake file already defines GTest::gtest and GTest::gtest_main.
    # The tests under Wine share a prefix in the build tree, made on first use,
    # never the user's ~/.wine (or a WINEPREFIX from the caller): settings made
    # there, or a prefix of another Wine version, must not change what they see.
    set(CANTREL_TEST_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
else()
    find_package(GTest REQUIRED)
endif()

# cantrel_unit_tests(<target> LABEL <label> SOURCES <files...> LIBRARIES <libs...>)
function(cantrel_unit_tests target)
    cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    cantrel_target(${target})
    target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main)
    target_compile_definitions(${target} PRIVATE
        CANTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" CANTREL_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures")
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${target} COMMAND ${target})
        set_tests_properties(${target} PROPERTIES LABELS "${ARG_LABEL};wine")
        cantrel_wine_prefix(${target})
    else()
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                             PROPERTIES LABELS ${ARG_LABEL})
    endif()
endfunction()

# cantrel_wine_prefix(<tests...>): in a cross build, the tests run their
# Windows programs in the build tree's Wine prefix. Tests that make a prefix of
# their own need not call it.
function(cantrel_wine_prefix)
    if(CMAKE_CROSSCOMPILING)
        set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT "WINEPREFIX=${CANTREL_TEST_WINE_PREFIX}")
    endif()
endfunction()

# cantrel_current_test(<name> MAKER <tool name> COMMITTED <folder> [FILES <paths...>] HINT <text>
#                      COMMAND <command...>)
# Files committed to the source tree that a tool of the project makes are what
# it makes today: the command writes them afresh into a folder of the test's
# own, its current folder, and they must be exactly FILES (paths below
# COMMITTED), or without FILES exactly what COMMITTED holds, byte for byte
# (cmake/CheckCurrent.cmake). HINT says how to bring them up to date.
function(cantrel_current_test name)
    cmake_parse_arguments(ARG "" "MAKER;COMMITTED;HINT" "FILES;COMMAND" ${ARGN})
    set(files "")
    if(ARG_FILES)
        list(JOIN ARG_FILES "$<SEMICOLON>" joined)
        set(files "-DFILES=${joined}")
    endif()
    add_test(NAME ${name}
             COMMAND ${CMAKE_COMMAND} -DMAKER=${ARG_MAKER} -DFRESH=${CMAKE_CURRENT_BINARY_DIR}/${name}
                     -DCOMMITTED=${ARG_COMMITTED} ${files} "-DHINT=${ARG_HINT}"
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckCurrent.cmake -- ${ARG_COMMAND})
    set_tests_properties(${name} PROPERTIES LABELS generated)
endfunction()
