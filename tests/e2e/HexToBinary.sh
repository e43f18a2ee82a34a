#!/bin/sh
# Turns a hand-written hex file into the bytes it describes, so that binary
# test files can be read, commented and reviewed as text.
#
#   HexToBinary.sh <root> <input.hex> <output>
#
# The notation, line by line:
#   4D 30 02 03        bytes as pairs of hex digits, separated by blanks
#   # ...              a comment, to the end of the line
#   3F 00 00 x256      the bytes of the line, repeated 256 times
#   include <path>     the bytes of another hex file, <path> taken from <root>
#   extend-to <n>      (top-level file only) zeros after the bytes up to n
#                      bytes in all, left as a hole that costs no writing, so
#                      a case can hold a file of gigabytes
# Exits non-zero, writing nothing, on anything else.
set -eu

if [ $# -ne 3 ]; then
    echo "usage: HexToBinary.sh <root> <input.hex> <output>" >&2
    exit 2
fi
root=$1
input=$2
output=$3

# awk spells every byte as an octal escape; printf then writes the bytes,
# NUL included, which no shell variable could hold.
escapes=$(awk -v root="$root" '
function fail(where, message) {
    printf "%s: %s\n", where, message > "/dev/stderr"
    failed = 1
    exit 1
}
function byte_value(token, where,    hi, lo) {
    hi = index("0123456789abcdef", tolower(substr(token, 1, 1))) - 1
    lo = index("0123456789abcdef", tolower(substr(token, 2, 1))) - 1
    if (length(token) != 2 || hi < 0 || lo < 0)
        fail(where, "\"" token "\" is not a byte in hex")
    return hi * 16 + lo
}
function emit_file(path, depth,    line, number, tokens, count, first, i, bytes, repeat, r) {
    if (depth > 8)
        fail(path, "includes nest too deeply")
    number = 0
    while ((getline line < path) > 0) {
        number++
        sub(/#.*/, "", line)
        gsub(/\r/, "", line)
        sub(/[ \t]+$/, "", line)
        count = split(line, tokens, /[ \t]+/)
        # split() leaves an empty first field when the line starts with blanks.
        first = 1
        while (first <= count && tokens[first] == "")
            first++
        if (first > count)
            continue
        if (tokens[first] == "extend-to") {
            if (depth > 0 || first + 1 != count || tokens[count] !~ /^[0-9]+$/)
                fail(path ":" number, "extend-to takes one size, in the top-level file only")
            continue
        }
        if (tokens[first] == "include") {
            if (first + 1 > count)
                fail(path ":" number, "include needs a file")
            emit_file(root "/" tokens[first + 1], depth + 1)
            continue
        }
        bytes = ""
        repeat = 1
        for (i = first; i <= count; i++) {
            if (tokens[i] == "")
                continue
            if (tokens[i] ~ /^x[0-9]+$/ && i == count) {
                repeat = substr(tokens[i], 2) + 0
                continue
            }
            bytes = bytes sprintf("\\%03o", byte_value(tokens[i], path ":" number))
        }
        for (r = 0; r < repeat; r++)
            printf "%s", bytes
    }
    if (number == 0 && (getline line < path) < 0)
        fail(path, "cannot be read")
    close(path)
}
BEGIN { emit_file(ARGV[1], 0); exit 0 }
' "$input")

# shellcheck disable=SC2059  # the escapes are the format on purpose
printf "$escapes" > "$output.part"
extend=$(sed -n 's/^[[:space:]]*extend-to[[:space:]]\{1,\}\([0-9]\{1,\}\).*/\1/p' "$input")
if [ -n "$extend" ]; then
    truncate -s "$extend" "$output.part"
fi
mv "$output.part" "$output"
