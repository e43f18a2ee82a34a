# The manual page against the program: it renders without a single warning,
# it names every option the program's help text names, and the texts it
# quotes (the banner's credit lines, headings, result lines, the query
# report) are what the program prints.
#
#   cmake -DMAN=<man> -DPAGE=<cantrel.1> -DPROGRAM=<cantrel> -DSAMPLE=<valley.pic> -DWORK_DIR=<scratch> -P ManPage.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/TextLines.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../common/Failures.cmake)

# Wide lines, so that no quoted text is broken or hyphenated.
execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=250 ${MAN} --warnings -l ${PAGE}
                OUTPUT_VARIABLE rendered ERROR_VARIABLE warnings RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    fail("man --warnings -l ${PAGE} (status ${status}) says:\n${warnings}")
endif()
string(REGEX REPLACE "[ \t\n]+" " " rendered "${rendered}")

# Runs the program in the scratch folder; <out> gets its output lines after
# the banner, without their line ends, and credit_lines the banner's two
# lines in parentheses.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
configure_file(${SAMPLE} ${WORK_DIR}/valley.pic COPYONLY)
function(run_program out)
    execute_process(COMMAND ${PROGRAM} ${ARGN} WORKING_DIRECTORY ${WORK_DIR} INPUT_FILE /dev/null
                    OUTPUT_VARIABLE output RESULT_VARIABLE status TIMEOUT 60)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${PROGRAM} ${ARGN}: exit status ${status}")
    endif()
    protect(output)
    # The output arrives without its CRs: CMake drops them from text it captures.
    string(REPLACE "\n" ";" lines "${output}")
    list(SUBLIST lines 5 2 credit)
    set(credit_lines "${credit}" PARENT_SCOPE)
    list(SUBLIST lines 8 -1 lines)
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# Every option of the help text ("-? (-h,-help)    Show this help data").
run_program(help -?)
set(options "")
foreach(line IN LISTS help)
    restore(line)
    if(line MATCHES "^(-[^ ]+) \\(([^)]*)\\) ")
        string(REPLACE "," ";" others "${CMAKE_MATCH_2}")
        list(APPEND options "${CMAKE_MATCH_1}" ${others})
    endif()
endforeach()
list(LENGTH options count)
if(count LESS 10)
    fail("only ${count} options found in the help text: ${options}")
endif()
foreach(option IN LISTS options)
    string(REGEX REPLACE "([][.*+?^$()|\\\\])" "\\\\\\1" pattern "${option}")
    if(NOT rendered MATCHES "(^|[ (,])${pattern}([ ,)]|$)")
        fail("the option ${option} of the help text is not on the page")
    endif()
endforeach()

# Words of a run; the lines after the banner that the page quotes; and, when
# the run names something the page writes as a placeholder, what stands for it.
set(runs
    "-x|1|"
    "missing.pic|1|"
    "valley.pic|1|"
    "-q valley.pic|3|"
    "none*.pic|2|none*.pic=pattern")
foreach(run IN LISTS runs)
    string(REPLACE "|" ";" fields "${run}")
    list(GET fields 0 words)
    list(GET fields 1 quoted)
    list(GET fields 2 placeholder)
    separate_arguments(words UNIX_COMMAND "${words}")
    run_program(lines ${words})
    math(EXPR last "${quoted} - 1")
    foreach(index RANGE ${last})
        list(GET lines ${index} line)
        restore(line)
        if(placeholder MATCHES "^(.*)=(.*)$")
            string(REPLACE "${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}" line "${line}")
        endif()
        string(STRIP "${line}" line)
        string(FIND "${rendered}" "${line}" at)
        if(at EQUAL -1)
            fail("cantrel ${words} prints \"${line}\", which the page does not quote")
        endif()
    endforeach()
endforeach()

# The banner's credit lines, which say whose the bitmap code is.
foreach(line IN LISTS credit_lines)
    restore(line)
    string(FIND "${rendered}" "${line}" at)
    if(at EQUAL -1)
        fail("the banner's line \"${line}\" is not on the page")
    endif()
endforeach()

report_failures("docs/cantrel.1 does not agree with the program")
