# Makes the Windows ZIP's README.txt from README.md, so that the two cannot
# drift apart: the parts of README.md between the lines
#     <!-- windows-readme: begin -->
#     <!-- windows-readme: end -->
# in their order, as plain text with CR LF line ends for a user who opens it
# in Notepad. Headings are underlined, code blocks indented, tables aligned in
# columns; backticks, emphasis and link syntax go, a link keeping its target
# in parentheses, and file paths take backslashes. Anything it cannot render
# plainly (an unclosed code span or block, markers out of pairs) stops it with
# the line's number, rather than leave Markdown in the text.
# With whole=1 it renders a whole document, which has no markers, the same
# way (the ZIP's copies of the format description and the modding guide).
#
#   awk -f WindowsReadme.awk README.md >README.txt
#   awk -v whole=1 -f WindowsReadme.awk docs/modding.md >modding.txt
BEGIN {
    ORS = "\r\n"
    PAGE_WIDTH = 79   # what a window of 80 columns shows without wrapping
    inside = whole    # between the markers
    fence = 0         # inside a fenced code block
    rows = 0          # table rows held until the table ends
    sections = whole
    started = 0       # a line has been written
    pending = 0       # a blank line is due before the next line
    failed = 0
}

function fail(text) {
    printf "%s:%d: %s\n", FILENAME, FNR, text >"/dev/stderr"
    failed = 1
    exit 1
}

# Blank lines are written only between lines, one at most: none at the top
# or the end, none doubled where a marker or a comment left a line out.
function emit(line) {
    if (line == "") {
        pending = started
        return
    }
    if (pending)
        print ""
    pending = 0
    started = 1
    print line
}

function repeat(char, count,    out) {
    out = ""
    while (count-- > 0)
        out = out char
    return out
}

function trim(s) {
    sub(/^[ \t]+/, "", s)
    sub(/[ \t]+$/, "", s)
    return s
}

# A link's target as a Windows user reads it: folders with backslashes.
function target(url) {
    if (url !~ /^[a-z]+:/)
        gsub(/\//, "\\", url)
    return url
}

# [text](url) and ![text](url), the text stripped of its backticks.
function links(s,    out, text, url, middle, image) {
    out = ""
    while (match(s, /!?\[[^]]*\]\([^)]*\)/)) {
        out = out substr(s, 1, RSTART - 1)
        image = substr(s, RSTART, 1) == "!"
        text = substr(s, RSTART + 1 + image, RLENGTH - 1 - image)
        middle = index(text, "](")
        url = substr(text, middle + 2, length(text) - middle - 2)
        text = substr(text, 1, middle - 1)
        gsub(/`/, "", text)
        if (image)
            out = out "Picture: " text " (" target(url) ")"
        else if (text == url)
            out = out target(text)
        else
            out = out text " (" target(url) ")"
        s = substr(s, RSTART + RLENGTH)
    }
    return out s
}

# Emphasis outside code spans: **strong** and *emphasis* lose their stars.
function plain(s) {
    gsub(/\*\*/, "", s)
    while (match(s, /\*[^* ][^*]*\*/))
        s = substr(s, 1, RSTART - 1) substr(s, RSTART + 1, RLENGTH - 2) substr(s, RSTART + RLENGTH)
    return s
}

# One line of running text: links first (their targets hold no backticks),
# then code spans copied as they are, without their backticks.
function inline(s,    out, open, middle) {
    s = links(s)
    out = ""
    while ((open = index(s, "`")) > 0) {
        out = out plain(substr(s, 1, open - 1))
        s = substr(s, open + 1)
        middle = index(s, "`")
        if (middle == 0)
            fail("a code span is not closed on its line")
        out = out substr(s, 1, middle - 1)
        s = substr(s, middle + 1)
    }
    return out plain(s)
}

# A table's cells, without the outer bars, rendered.
function cells(line, into,    count, i) {
    sub(/^[ \t]*\|/, "", line)
    sub(/\|[ \t]*$/, "", line)
    count = split(line, into, "|")
    for (i = 1; i <= count; i++)
        into[i] = inline(trim(into[i]))
    return count
}

# Words of text in lines of at most width characters (a longer word alone on
# its line); the lines go into into[1..n], n is returned.
function wrap(text, width, into,    words, count, i, n) {
    count = split(text, words, " ")
    n = 0
    for (i = 1; i <= count; i++) {
        if (n > 0 && length(into[n]) + 1 + length(words[i]) <= width)
            into[n] = into[n] " " words[i]
        else
            into[++n] = words[i]
    }
    if (n == 0)
        into[++n] = ""
    return n
}

# The held table in aligned columns, a rule of dashes under its header. The
# last column wraps where the rows would pass PAGE_WIDTH, its further lines
# indented to the column.
function flush_table(    r, c, count, width, columns, cell, start, room, piece, pieces, p, line, rule) {
    if (rows == 0)
        return
    columns = 0
    for (r = 1; r <= rows; r++) {
        count = cells(table[r], cell)
        if (count > columns)
            columns = count
        for (c = 1; c <= count; c++) {
            grid[r, c] = cell[c]
            if (length(cell[c]) > width[c])
                width[c] = length(cell[c])
        }
    }
    start = 0
    for (c = 1; c < columns; c++)
        start += width[c] + 2
    room = PAGE_WIDTH - start
    if (room < 20)
        room = 20
    if (width[columns] > room)
        width[columns] = room
    for (r = 1; r <= rows; r++) {
        line = ""
        for (c = 1; c < columns; c++)
            line = line grid[r, c] repeat(" ", width[c] - length(grid[r, c]) + 2)
        pieces = wrap(grid[r, columns], room, piece)
        emit(trim(line piece[1]))
        for (p = 2; p <= pieces; p++)
            emit(repeat(" ", start) piece[p])
        if (r == 1) {
            rule = ""
            for (c = 1; c <= columns; c++)
                rule = rule repeat("-", width[c]) (c < columns ? "  " : "")
            emit(rule)
        }
    }
    rows = 0
}

!whole && /^<!-- windows-readme: begin -->[ \t]*$/ {
    if (inside)
        fail("a second begin marker before the end of the first")
    inside = 1
    sections++
    emit("")
    next
}

!whole && /^<!-- windows-readme: end -->[ \t]*$/ {
    if (!inside)
        fail("an end marker without its begin")
    if (fence)
        fail("a code block is still open at the end marker")
    flush_table()
    inside = 0
    emit("")
    next
}

!inside { next }

/^[ \t]*```/ {
    fence = !fence
    emit("")
    next
}

fence {
    sub(/[ \t]+$/, "")
    emit($0 == "" ? "" : "    " $0)
    next
}

/^[ \t]*\|/ {
    if ($0 !~ /^[ \t]*\|[-:| \t]+\|[ \t]*$/)
        table[++rows] = $0
    next
}

{ flush_table() }

/^[ \t]*<!--.*-->[ \t]*$/ { next }

/^#+ / {
    level = index($0, " ") - 1
    heading = inline(substr($0, level + 2))
    emit("")
    emit(heading)
    emit(repeat(level == 1 ? "=" : level == 2 ? "-" : "~", length(heading)))
    emit("")
    next
}

{
    sub(/[ \t]+$/, "")
    emit(inline($0))
}

END {
    if (failed)
        exit 1
    if (fence)
        fail("a code block is still open at the end")
    if (inside && !whole)
        fail("the last begin marker has no end marker")
    if (sections == 0)
        fail("no part is marked for Windows users")
}
