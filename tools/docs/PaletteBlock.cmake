# The default palette table of the PIC format description is generated: the
# lines between its begin and end markers are what palette_table prints.
#
#   cmake -DTOOL=<palette_table> -DDOC=<docs/pic-format.md> -DOUTPUT=<file> -P PaletteBlock.cmake
#
# OUTPUT gets DOC with the table palette_table prints today: DOC itself to
# bring the description up to date (left alone when it already is), or a
# fresh copy for the test that it is current.
set(begin_marker "<!-- default-palette:begin -->\n")
set(end_marker "<!-- default-palette:end -->")

execute_process(COMMAND ${TOOL} OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR table STREQUAL "")
    message(FATAL_ERROR "palette_table failed (${status})")
endif()

file(READ ${DOC} text)
string(FIND "${text}" "${begin_marker}" begin)
string(FIND "${text}" "${end_marker}" end)
if(begin EQUAL -1 OR end EQUAL -1 OR end LESS begin)
    message(FATAL_ERROR "${DOC}: no block between \"<!-- default-palette:begin -->\" and \"${end_marker}\"")
endif()
string(LENGTH "${begin_marker}" marker_length)
math(EXPR block_start "${begin} + ${marker_length}")
string(SUBSTRING "${text}" 0 ${block_start} head)
string(SUBSTRING "${text}" ${end} -1 tail)
set(current "${head}${table}${tail}")

if(OUTPUT STREQUAL DOC AND current STREQUAL text)
    return()
endif()
file(WRITE ${OUTPUT} "${current}")
if(OUTPUT STREQUAL DOC)
    message(STATUS "${DOC}: default palette table rewritten")
endif()
