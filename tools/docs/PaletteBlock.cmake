# The default palette table of the PIC format description is generated: the
# lines between its begin and end markers are what palette_table prints.
#
#   cmake -DTOOL=<palette_table> -DDOC=<docs/pic-format.md> -DMODE=check|update -P PaletteBlock.cmake
#
# check fails when the block differs; update rewrites the block in place.
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
math(EXPR block_length "${end} - ${block_start}")
string(SUBSTRING "${text}" ${block_start} ${block_length} block)

if(MODE STREQUAL "update")
    if(NOT block STREQUAL table)
        string(SUBSTRING "${text}" 0 ${block_start} head)
        string(SUBSTRING "${text}" ${end} -1 tail)
        file(WRITE ${DOC} "${head}${table}${tail}")
        message(STATUS "${DOC}: default palette table rewritten")
    endif()
elseif(NOT block STREQUAL table)
    message(FATAL_ERROR "${DOC}: the default palette table is not what palette_table prints from "
                        "pic/DefaultPalette.cpp; regenerate it with\n"
                        "  cmake --build --preset linux --target update_palette_table")
endif()
