#!/bin/sh
# What large pictures cost the converter as a user runs it: time and peak
# memory (the most resident at once) of PIC to BMP and BMP to PIC at
# 8192 x 8192, and of two files that declare far more than they hold: the
# 11-byte PIC file of 32,767 x 32,767 pixels with a 3-byte stream, and its BMP
# twin, an RLE8 file of that size whose data ends at once. Each line sets the
# peak beside its bound: the input file, plus the pixels once, plus the
# output file, plus 16 MB.
#
#   LargeBench.sh <cantrel> <picture.pic> [scratch parent folder]
#
# The picture gives the palette; the 8192 x 8192 pixels are flat ground with
# shapes of other colours and a dithered band across them, as large maps
# are drawn (its stream must fit an image chunk, so it cannot be noise).
# Environment: CANTREL_BENCH_ROUNDS (runs per command, the fastest counts;
# default 3). Build the converter optimised and without sanitizers (the bench
# or release preset); needs GNU time (/usr/bin/time) and python3.
set -eu
. "$(dirname "$0")/WholeRuns.sh"
start_whole_runs LargeBench.sh "$@"
rounds=${CANTREL_BENCH_ROUNDS:-3}
gnu_time=/usr/bin/time
need_tools LargeBench.sh "$gnu_time" python3
side=8192
mb=1048576

python3 - "$side" <<'EOF'
import struct, sys

side = int(sys.argv[1])

# An 8-bit bottom-up BMP file with a grey colour table (the converter gives
# it the picture's palette with -u).
def write_bmp(name, width, height, rows, compression=0, data=None):
    table = b"".join(bytes((i, i, i, 0)) for i in range(256))
    stride = (width + 3) // 4 * 4
    body = data if data is not None else b"".join(
        bytes(row) + bytes(stride - width) for row in reversed(rows))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, compression, len(body), 0, 0, 0, 0)
    with open(name, "wb") as out:
        out.write(header + info + table + body)

# Flat ground, then discs and boxes of their own colours, then a band of
# two alternating colours in a 4 x 4 dither (short runs, many codes).
rows = [bytearray([17]) * side for _ in range(side)]
state = 7
def rand(n):
    global state
    state = (state * 1103515245 + 12345) & 0x7FFFFFFF
    return state % n
for shape in range(12):
    cx, cy, r = rand(side), rand(side), 100 + rand(900)
    colour = 32 + shape * 15
    for y in range(max(0, cy - r), min(side, cy + r + 1)):
        half = r if shape % 2 else int((r * r - (y - cy) ** 2) ** 0.5)
        left, right = max(0, cx - half), min(side, cx + half + 1)
        if left < right:
            rows[y][left:right] = bytes([colour]) * (right - left)
for y in range(side // 2, side // 2 + 16):
    rows[y][:] = bytes(200 + ((x + y) & 1) for x in range(side))
write_bmp("large.bmp", side, side, rows)

# The bomb and its BMP twin: the sides a PIC file can hold at most, and
# data that ends at once (one 9-bit code; the RLE end-of-bitmap code).
with open("bomb.pic", "wb") as out:
    out.write(b"X0" + struct.pack("<HHH", 7, 32767, 32767) + bytes((0x0B, 0x01, 0x00)))
write_bmp("bomb.bmp", 32767, 32767, None, compression=1, data=bytes((0, 1)))
EOF
"$cantrel" -u "$picture" large.bmp large.pic >/dev/null
[ -s large.pic ] || { echo "LargeBench.sh: the 8192 x 8192 picture did not convert to PIC" >&2; exit 1; }
"$cantrel" large.pic large-back.bmp >/dev/null
"$cantrel" large-back.bmp large-back.pic >/dev/null
cmp -s large-back.pic large.pic || { echo "LargeBench.sh: the picture does not convert back" >&2; exit 1; }

size_of() { wc -c <"$1" | tr -d ' '; }

# The fastest of $rounds runs of a conversion: its seconds and its peak
# resident kilobytes, then the output file's size.
measure() { # input output
    best=
    peak=
    round=0
    while [ $round -lt "$rounds" ]; do
        rm -f "$2"
        "$gnu_time" -f "%e %M" -o time.txt "$cantrel" "$1" "$2" >/dev/null
        read -r took kb <time.txt
        if [ -z "$best" ] || awk -v a="$took" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$took
            peak=$kb
        fi
        round=$((round + 1))
    done
    if [ -s "$2" ]; then echo "$best $peak $(size_of "$2")"; else echo "$best $peak 0"; fi
}

report() { # input output pixels
    set -- "$1" "$2" "$3" $(measure "$1" "$2")
    in=$(size_of "$1")
    bound=$((in + $3 + $6 + 16 * mb))
    peak=$(($5 * 1024))
    verdict=within
    [ "$peak" -le "$bound" ] || verdict=OVER
    [ "$6" -gt 0 ] || verdict="$verdict; refused, no file written"
    printf '  %-36s %6.2f s %8.1f MB   bound %8.1f MB (%s)\n' "cantrel $1 $2" "$4" \
        "$(awk -v b="$peak" -v m="$mb" 'BEGIN { print b / m }')" \
        "$(awk -v b="$bound" -v m="$mb" 'BEGIN { print b / m }')" "$verdict"
}

echo "Scratch folder: $work ($(df -T "$work" | awk 'NR == 2 { print $2 }')); the fastest of $rounds runs"
echo "large.pic: $(size_of large.pic) bytes, large.bmp: $(size_of large.bmp) bytes; the bound is input + pixels + output + 16 MB"
report large.pic out.bmp $((side * side))
report large.bmp out.pic $((side * side))
report bomb.pic bomb-out.bmp $((32767 * 32767))
report bomb.bmp bomb-out.pic $((32767 * 32767))
