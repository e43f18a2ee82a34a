# The Windows ZIP's text files, made from the project's documents at build
# time so that they cannot drift from them. Each has CR LF line ends, which
# every Windows editor shows as lines, and nothing but ASCII.
#   KIND=readme   README.md's parts for Windows users as plain text (WindowsReadme.awk)
#   KIND=document a whole Markdown document as plain text, the same way, its
#                 few typographic characters spelt in ASCII (x for the times
#                 sign, - for the minus sign, >= and <=, quotes and dashes)
#   KIND=manual   the manual page rendered by groff as plain text: no bold or
#                 underline by overstriking, no escape sequences, no hyphenation
#   KIND=text     a text as it is (the licence, the batch files)
#
#   cmake -DKIND=<kind> -DSOURCE=<document> -DOUTPUT=<file.txt> [-DAWK=<awk>] [-DGROFF=<groff>] -P WindowsText.cmake
cmake_minimum_required(VERSION 3.25)

if(KIND STREQUAL "readme")
    execute_process(COMMAND ${AWK} -f ${CMAKE_CURRENT_LIST_DIR}/WindowsReadme.awk ${SOURCE}
                    OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
    # The script writes CR LF itself.
    string(REPLACE "\r\n" "\n" text "${text}")
elseif(KIND STREQUAL "document")
    execute_process(COMMAND ${AWK} -v whole=1 -f ${CMAKE_CURRENT_LIST_DIR}/WindowsReadme.awk ${SOURCE}
                    OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
    string(REPLACE "\r\n" "\n" text "${text}")
    foreach(pair "×|x" "−|-" "≥|>=" "≤|<=" "–|-" "—|--" "‘|'" "’|'" "“|\"" "”|\"" "…|...")
        string(FIND "${pair}" "|" bar)
        string(SUBSTRING "${pair}" 0 ${bar} from)
        math(EXPR after "${bar} + 1")
        string(SUBSTRING "${pair}" ${after} -1 to)
        string(REPLACE "${from}" "${to}" text "${text}")
    endforeach()
elseif(KIND STREQUAL "manual")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env GROFF_NO_SGR=1
                            ${GROFF} -mandoc -Tascii -rLL=78n -rHY=0 -P-cbou -ww ${SOURCE}
                    OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
    # The page's top and bottom margins: one blank line between parts is enough.
    string(REGEX REPLACE "\n\n\n+" "\n\n" text "${text}")
    string(REGEX REPLACE "^\n+" "" text "${text}")
elseif(KIND STREQUAL "text")
    file(READ ${SOURCE} text)
    set(status 0)
    set(errors "")
else()
    message(FATAL_ERROR "KIND is '${KIND}': readme, document, manual or text")
endif()
if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
    message(FATAL_ERROR "cannot make ${OUTPUT} from ${SOURCE} (status ${status}):\n${errors}")
endif()
if(text MATCHES "[^\t\n -~]")
    message(FATAL_ERROR "${SOURCE} gives text that is not plain ASCII")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
# Written whole under another name first: a failed run leaves no half file.
file(WRITE ${OUTPUT}.new "${text}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
