# Runs the README's example script as a user who copies it would: the sh
# block after "<!-- example script: NAME -->" is saved as NAME, in a scratch
# folder with the samples its run names, and the console block after
# "<!-- example run: NAME -->" is run there with cantrel on the PATH. The
# output must be the block's lines (the script takes the CRs off), and the
# exit status 1 exactly when the script reports a picture not converted.
#
#   cmake -DREADME=<README.md> -DPROGRAM=<cantrel> -DSAMPLES=<samples> -DWORK_DIR=<scratch> -P ScriptExample.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/TextLines.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../common/Failures.cmake)

file(READ ${README} text)
protect(text)
string(REPLACE "\n" ";" lines "${text}")

# The lines of the fenced block that follows the marker line (the fence line next to it).
function(block_after marker fence out)
    list(FIND lines "${marker}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${README}: no line \"${marker}\"")
    endif()
    math(EXPR at "${at} + 1")
    list(GET lines ${at} opening)
    if(NOT opening STREQUAL "${fence}")
        message(FATAL_ERROR "${README}: \"${marker}\" is followed by \"${opening}\", not \"${fence}\"")
    endif()
    math(EXPR at "${at} + 1")
    list(SUBLIST lines ${at} -1 rest)
    set(body "")
    foreach(line IN LISTS rest)
        if(line STREQUAL "```")
            set(${out} "${body}" PARENT_SCOPE)
            return()
        endif()
        list(APPEND body "${line}")
    endforeach()
    message(FATAL_ERROR "${README}: the block after \"${marker}\" is not closed")
endfunction()

block_after("<!-- example script: convert-all.sh -->" "```sh" script)
block_after("<!-- example run: convert-all.sh -->" "```console" run)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/folder ${WORK_DIR}/bin)
set(content "")
foreach(line IN LISTS script)
    restore(line)
    string(APPEND content "${line}\n")
endforeach()
file(WRITE ${WORK_DIR}/folder/convert-all.sh "${content}")
# The program under the name the script calls.
file(CREATE_LINK ${PROGRAM} ${WORK_DIR}/bin/cantrel SYMBOLIC)

list(POP_FRONT run command)
restore(command)
if(NOT command MATCHES "^\\$ (sh convert-all\\.sh .*)$")
    message(FATAL_ERROR "${README}: the example run starts with \"${command}\", not \"$ sh convert-all.sh ...\"")
endif()
separate_arguments(words UNIX_COMMAND "${CMAKE_MATCH_1}")
foreach(word IN LISTS words)
    if(EXISTS ${SAMPLES}/${word})
        configure_file(${SAMPLES}/${word} ${WORK_DIR}/folder/${word} COPYONLY)
    endif()
endforeach()
set(expected "")
set(expected_status 0)
foreach(line IN LISTS run)
    restore(line)
    string(APPEND expected "${line}\n")
    if(line MATCHES "^not converted: ")
        set(expected_status 1)
    endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E env "PATH=${WORK_DIR}/bin:$ENV{PATH}" ${words}
                WORKING_DIRECTORY ${WORK_DIR}/folder INPUT_FILE /dev/null
                OUTPUT_VARIABLE actual RESULT_VARIABLE status TIMEOUT 60)
if(NOT actual STREQUAL expected)
    fail("$ ${CMAKE_MATCH_1}\n    README: ${expected}\n    actual: ${actual}")
endif()
if(NOT status EQUAL expected_status)
    fail("$ ${CMAKE_MATCH_1} exits with ${status}, where its output calls for ${expected_status}")
endif()
report_failures("the README's example script does otherwise")
message(STATUS "the README's example script prints what it says")
