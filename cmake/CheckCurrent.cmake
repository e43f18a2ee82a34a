# Whether files committed to the source tree are what the tool that makes
# them makes today (cantrel_current_test in Testing.cmake adds the test).
#
#   cmake -DMAKER=<name> -DFRESH=<scratch> -DCOMMITTED=<folder> [-DFILES=<names>] -DHINT=<text>
#         -P CheckCurrent.cmake -- <command...>
#
# The command runs in FRESH, emptied first, and writes its files there. It
# must make exactly FILES (paths below COMMITTED, separated by ;), or where
# FILES is not given exactly the files COMMITTED holds, and each byte for
# byte as committed. HINT tells how to bring the committed files up to date.
cmake_minimum_required(VERSION 3.25)

foreach(required MAKER FRESH COMMITTED HINT)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "CheckCurrent.cmake needs -D${required}=...")
    endif()
endforeach()

set(command "")
set(after_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(index RANGE ${last})
    if(after_separator)
        list(APPEND command "${CMAKE_ARGV${index}}")
    elseif(CMAKE_ARGV${index} STREQUAL "--")
        set(after_separator TRUE)
    endif()
endforeach()
if(command STREQUAL "")
    message(FATAL_ERROR "CheckCurrent.cmake needs the command that makes the files, after --")
endif()

file(REMOVE_RECURSE ${FRESH})
file(MAKE_DIRECTORY ${FRESH})
execute_process(COMMAND ${command} WORKING_DIRECTORY ${FRESH} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${MAKER} failed (${status})")
endif()

file(GLOB_RECURSE made RELATIVE ${FRESH} ${FRESH}/*)
if(DEFINED FILES)
    set(expected ${FILES})
else()
    file(GLOB expected RELATIVE ${COMMITTED} ${COMMITTED}/*)
endif()
list(SORT made)
list(SORT expected)
if(NOT made STREQUAL expected)
    message(FATAL_ERROR "${MAKER} makes ${made}, not ${expected} as committed in ${COMMITTED}: ${HINT}")
endif()
foreach(name IN LISTS made)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FRESH}/${name} ${COMMITTED}/${name}
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        message(FATAL_ERROR "${COMMITTED}/${name} is not what ${MAKER} makes now: ${HINT}")
    endif()
endforeach()
list(LENGTH made count)
message(STATUS "${count} committed files are what ${MAKER} makes: ${made}")
