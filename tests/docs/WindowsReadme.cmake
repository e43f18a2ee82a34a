# The generator of the Windows ZIP's README.txt against a fixture holding
# every construct it renders, whose plain text is written out by hand: the
# output must be that text with CR LF line ends, byte for byte. Then the
# Markdown it must refuse rather than pass on, each with its reason.
#
#   cmake -DAWK=<awk> -DGENERATOR=<WindowsReadme.awk> -DFIXTURES=<folder> -DWORK_DIR=<scratch> -P WindowsReadme.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../common/Failures.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

file(READ ${FIXTURES}/windows-readme.txt expected)
string(REPLACE "\n" "\r\n" expected "${expected}")
file(WRITE ${WORK_DIR}/expected.txt "${expected}")
execute_process(COMMAND ${AWK} -f ${GENERATOR} ${FIXTURES}/windows-readme.md
                OUTPUT_FILE ${WORK_DIR}/actual.txt ERROR_VARIABLE errors RESULT_VARIABLE status)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/expected.txt ${WORK_DIR}/actual.txt
                RESULT_VARIABLE different)
if(NOT status EQUAL 0 OR different)
    file(READ ${WORK_DIR}/actual.txt actual)
    set(status_and_errors "status ${status}, ${errors}")
    fail("the fixture (${status_and_errors}) gives otherwise than windows-readme.txt with CR LF; it gives:\n${actual}")
endif()

# Markdown that cannot be made plain, and what the generator says of it.
set(begin "<!-- windows-readme: begin -->")
set(end "<!-- windows-readme: end -->")
set(refusals
    "a code span over two lines|${begin}\na `code\nspan` here\n${end}\n|a code span is not closed on its line"
    "a code block open at the end marker|${begin}\n```\ncode\n${end}\n|a code block is still open at the end marker"
    "a begin marker inside a marked part|${begin}\n${begin}\n${end}\n|a second begin marker before the end of the first"
    "an end marker alone|text\n${end}\n|an end marker without its begin"
    "a marked part without its end|${begin}\ntext\n|the last begin marker has no end marker"
    "nothing marked|# A README\ntext\n|no part is marked for Windows users")
set(number 0)
foreach(refusal IN LISTS refusals)
    string(REPLACE "|" ";" fields "${refusal}")
    list(GET fields 0 what)
    list(GET fields 1 markdown)
    list(GET fields 2 reason)
    math(EXPR number "${number} + 1")
    string(REPLACE "\\n" "\n" markdown "${markdown}")
    file(WRITE ${WORK_DIR}/refused-${number}.md "${markdown}")
    execute_process(COMMAND ${AWK} -f ${GENERATOR} ${WORK_DIR}/refused-${number}.md
                    OUTPUT_QUIET ERROR_VARIABLE errors RESULT_VARIABLE status)
    string(FIND "${errors}" "${reason}" at)
    if(status EQUAL 0 OR at EQUAL -1)
        fail("${what}: status ${status}, says \"${errors}\", not \"${reason}\"")
    endif()
endforeach()

report_failures("tools/docs/WindowsReadme.awk")
message(STATUS "the fixture gives its plain text, and ${number} kinds of Markdown are refused")
