# Runs the converter on one end-to-end case, the way a user would, and judges
# it by what it prints and what it leaves behind.
#
#   cmake -DPROGRAM=<converter> [-DEMULATOR=<runner>] -DCASE_DIR=<case folder>
#         -DWORK_DIR=<scratch folder> -DE2E_ROOT=<tests/e2e> -P RunCase.cmake
#
# A case folder holds:
#   args             the words of the command line, one per line; an empty line
#                    is an empty word (words cannot hold ';')
#   input/           the files the run starts from, copied to a scratch folder
#                    that is the program's current folder; a name ending in .hex
#                    is written as the bytes it describes (see HexToBinary.sh)
#   stdout.expected  the exact bytes expected on standard output (notation below)
#   stderr.expected  optional: the same for standard error
#   expected/        the files expected afterwards besides the inputs, compared
#                    byte for byte (.hex as for input/; a name ending in .any
#                    must only exist); inputs listed here are expected changed
#   platform         optional: "windows" or "posix" when the case runs on one only
# In args and the .expected files, {folder} stands for the scratch folder's
# absolute path (for cases that name files by absolute paths).
# Afterwards the scratch folder must hold exactly the inputs and the expected
# files: a stray, partial or temporary file fails the case.
#
# Notation of the .expected files: line breaks in the file are ignored; \r and
# \n stand for CR and LF, \\ for one backslash; {banner} and {help} stand for
# the texts in common/banner.expected and common/help.expected.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../common/Failures.cmake)

if(NOT DEFINED TIMEOUT)
    set(TIMEOUT 120)
endif()
foreach(required PROGRAM CASE_DIR WORK_DIR E2E_ROOT)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "RunCase.cmake needs -D${required}=...")
    endif()
endforeach()

# Files of a folder as relative paths, sorted.
function(list_files folder out)
    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${folder}" "${folder}/*")
    list(SORT found)
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

# Writes the file a case describes: .hex through HexToBinary.sh, anything else as is.
# Sets <out> to the name the file has in the scratch folder.
function(materialise source target_folder relative out)
    if(relative MATCHES "^(.*)\\.hex$")
        set(name "${CMAKE_MATCH_1}")
        get_filename_component(parent "${target_folder}/${name}" DIRECTORY)
        file(MAKE_DIRECTORY "${parent}")
        execute_process(COMMAND sh "${E2E_ROOT}/HexToBinary.sh" "${E2E_ROOT}" "${source}" "${target_folder}/${name}"
                        RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "cannot turn ${source} into bytes")
        endif()
    else()
        set(name "${relative}")
        configure_file("${source}" "${target_folder}/${name}" COPYONLY)
    endif()
    set(${out} "${name}" PARENT_SCOPE)
endfunction()

# Decodes the .expected notation into the bytes it stands for.
function(decode_expected file out)
    file(READ "${file}" text)
    string(REPLACE "{folder}" "${files_dir}" text "${text}")
    foreach(piece banner help)
        string(FIND "${text}" "{${piece}}" at)
        if(NOT at EQUAL -1)
            file(READ "${E2E_ROOT}/common/${piece}.expected" piece_text)
            string(REPLACE "{${piece}}" "${piece_text}" text "${text}")
        endif()
    endforeach()
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "\n" "" text "${text}")
    string(ASCII 1 placeholder)
    string(ASCII 13 cr)
    string(REPLACE "\\\\" "${placeholder}" text "${text}")
    string(REPLACE "\\r" "${cr}" text "${text}")
    string(REPLACE "\\n" "\n" text "${text}")
    if(text MATCHES "\\\\")
        message(FATAL_ERROR "${file}: a single backslash; write \\\\ for one, \\r or \\n for a line end")
    endif()
    string(REPLACE "${placeholder}" "\\" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(compare_stream name actual_file expected_file)
    decode_expected("${expected_file}" expected)
    file(WRITE "${WORK_DIR}/meta/${name}.wanted" "${expected}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${actual_file}" "${WORK_DIR}/meta/${name}.wanted"
                    RESULT_VARIABLE different OUTPUT_QUIET ERROR_QUIET)
    if(different)
        visible("${WORK_DIR}/meta/${name}.wanted" shown_expected 14)
        visible("${actual_file}" shown_actual 14)
        fail("${name} differs\n    expected: ${shown_expected}\n    actual:   ${shown_actual}")
    endif()
endfunction()

# The scratch folder, anew.
set(files_dir "${WORK_DIR}/files")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${files_dir}" "${WORK_DIR}/meta" "${WORK_DIR}/expected")

set(present "")
list_files("${CASE_DIR}/input" inputs)
foreach(relative IN LISTS inputs)
    materialise("${CASE_DIR}/input/${relative}" "${files_dir}" "${relative}" name)
    list(APPEND present "${name}")
endforeach()

# The command line, each word passed as one argument, empty words included.
# Bracket arguments keep every word exactly as written.
set(words "")
file(READ "${CASE_DIR}/args" args_text)
string(REPLACE "\r" "" args_text "${args_text}")
if(NOT args_text STREQUAL "")
    if(NOT args_text MATCHES "\n$")
        message(FATAL_ERROR "${CASE_DIR}/args: the last word needs its line end")
    endif()
    string(REGEX REPLACE "\n$" "" args_text "${args_text}")
    string(REPLACE "{folder}" "${files_dir}" args_text "${args_text}")
    string(REPLACE "\n" ";" words "${args_text}")
endif()
set(command "")
foreach(part IN LISTS EMULATOR)
    string(APPEND command " [==[${part}]==]")
endforeach()
string(APPEND command " [==[${PROGRAM}]==]")
foreach(word IN LISTS words)
    string(APPEND command " [==[${word}]==]")
endforeach()

# No standard input and a time limit: the program must never wait for anything.
cmake_language(EVAL CODE "
    execute_process(COMMAND ${command}
                    WORKING_DIRECTORY [==[${files_dir}]==]
                    INPUT_FILE /dev/null
                    OUTPUT_FILE [==[${WORK_DIR}/meta/stdout]==]
                    ERROR_FILE [==[${WORK_DIR}/meta/stderr]==]
                    RESULT_VARIABLE status
                    TIMEOUT ${TIMEOUT})")
if(NOT status STREQUAL "0")
    file(READ "${WORK_DIR}/meta/stderr" errors LIMIT 2000)
    fail("exit status ${status}, expected 0; standard error:\n${errors}")
endif()

compare_stream(stdout "${WORK_DIR}/meta/stdout" "${CASE_DIR}/stdout.expected")
if(EXISTS "${CASE_DIR}/stderr.expected")
    compare_stream(stderr "${WORK_DIR}/meta/stderr" "${CASE_DIR}/stderr.expected")
endif()

set(expected_names "")
list_files("${CASE_DIR}/expected" expectations)
foreach(relative IN LISTS expectations)
    if(relative MATCHES "^(.*)\\.any$")
        set(name "${CMAKE_MATCH_1}")
        if(NOT EXISTS "${files_dir}/${name}")
            fail("${name} was not written")
        endif()
    else()
        materialise("${CASE_DIR}/expected/${relative}" "${WORK_DIR}/expected" "${relative}" name)
        if(NOT EXISTS "${files_dir}/${name}")
            fail("${name} was not written")
        else()
            execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${files_dir}/${name}"
                                    "${WORK_DIR}/expected/${name}"
                            RESULT_VARIABLE different OUTPUT_QUIET ERROR_QUIET)
            if(different)
                file(READ "${files_dir}/${name}" actual_hex HEX)
                file(READ "${WORK_DIR}/expected/${name}" expected_hex HEX)
                fail("${name} differs\n    expected: ${expected_hex}\n    actual:   ${actual_hex}")
            endif()
        endif()
    endif()
    list(APPEND present "${name}")
    list(APPEND expected_names "${name}")
endforeach()

list(REMOVE_DUPLICATES present)
list(SORT present)
list_files("${files_dir}" left)
if(NOT left STREQUAL present)
    foreach(name IN LISTS left)
        if(NOT name IN_LIST present)
            fail("${name} is there but was not expected")
        endif()
    endforeach()
    foreach(name IN LISTS present)
        if(NOT name IN_LIST left AND NOT name IN_LIST expected_names)
            fail("${name} is gone")
        endif()
    endforeach()
endif()

get_filename_component(case_name "${CASE_DIR}" NAME)
report_failures("end-to-end case ${case_name} failed")
