# What the CMake checks share, as tests/common/Failures.sh does for the shell
# ones. include() it, then:
#
#   fail(<text>)                 records a failure and goes on, so that one run
#                                lists every difference; from a function too.
#   report_failures(<heading>)   ends the check with the heading and every
#                                failure recorded, if there is one.
#   visible(<file> <out> [<indent>])
#                                <out> gets the file's bytes as the tests'
#                                expected texts spell them: \r and \n for CR
#                                and LF, \\ for a backslash, <xx> in hex for
#                                another byte that does not print. A line
#                                break follows each \n, then <indent> blanks,
#                                so the next line starts below the first.
#
# A failure stays recorded for the whole check in a global property, since a
# variable set in a function is gone once the function returns.

function(fail text)
    if(NOT ARGC EQUAL 1)
        message(FATAL_ERROR "fail() takes one text, quoted as a whole")
    endif()
    set_property(GLOBAL APPEND_STRING PROPERTY CANTREL_CHECK_FAILURES "  ${text}\n")
endfunction()

function(report_failures heading)
    get_property(failures GLOBAL PROPERTY CANTREL_CHECK_FAILURES)
    if(NOT "${failures}" STREQUAL "")
        message(FATAL_ERROR "${heading}:\n${failures}")
    endif()
endfunction()

# Read as hex: file(READ) in text mode would drop the CRs being looked for.
function(visible file out)
    set(indent 0)
    if(ARGC GREATER 2)
        set(indent ${ARGV2})
    endif()
    string(REPEAT " " ${indent} blanks)
    file(READ "${file}" hex HEX)
    string(LENGTH "${hex}" length)
    set(text "")
    set(at 0)
    while(at LESS length)
        string(SUBSTRING "${hex}" ${at} 2 byte)
        math(EXPR at "${at} + 2")
        if(byte STREQUAL "0d")
            string(APPEND text "\\r")
        elseif(byte STREQUAL "0a")
            string(APPEND text "\\n\n${blanks}")
        elseif(byte STREQUAL "5c")
            string(APPEND text "\\\\")
        else()
            math(EXPR code "0x${byte}")
            if(code LESS 32 OR code GREATER 126)
                string(APPEND text "<${byte}>")
            else()
                string(ASCII ${code} char)
                string(APPEND text "${char}")
            endif()
        endif()
    endwhile()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
