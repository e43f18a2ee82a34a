# Splitting a text into a CMake list of its lines. Brackets and semicolons
# mean something in CMake's lists, so control characters stand in for them
# while the text is a list: protect() before the split, restore() on each
# line taken from it.
string(ASCII 2 open)
string(ASCII 3 close)
string(ASCII 4 semicolon)

macro(protect var)
    string(REPLACE "[" "${open}" ${var} "${${var}}")
    string(REPLACE "]" "${close}" ${var} "${${var}}")
    string(REPLACE ";" "${semicolon}" ${var} "${${var}}")
endmacro()

macro(restore var)
    string(REPLACE "${open}" "[" ${var} "${${var}}")
    string(REPLACE "${close}" "]" ${var} "${${var}}")
    string(REPLACE "${semicolon}" ";" ${var} "${${var}}")
endmacro()
