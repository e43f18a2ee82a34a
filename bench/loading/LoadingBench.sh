#!/bin/sh
# What small BMP files that declare large pictures cost the converter, in time
# and peak memory, through the whole program as a user runs it:
#   - tall.bmp: a 513 KB RLE8 file that declares 1 x 67,108,864 pixels and
#     holds only end-of-row escapes (no PIC file can hold it);
#   - early.bmp: a 62-byte RLE8 file that declares 8192 x 8192 pixels and
#     holds one 5-pixel run, then the end of the bitmap;
#   - largest.bmp: the same run in 32,767 x 32,767 pixels, the largest
#     picture a PIC file holds (loaded only: a gigabyte);
#   - full.bmp: 8192 x 8192 pixels of RLE8 runs that reach every pixel (557 KB);
# each loaded (the query), and the 8192 x 8192 ones also converted to BMP and
# to PIC.
# Prints, per command, the fastest and slowest of the runs in seconds and
# their largest peak resident memory in MiB (from /usr/bin/time).
#
#   LoadingBench.sh <cantrel> [scratch parent folder]
#
# Environment: CANTREL_BENCH_RUNS (runs per command, default 5). Build the
# converter optimised and without sanitizers (the bench or release preset).
set -eu

if [ $# -lt 1 ]; then
    echo "usage: LoadingBench.sh <cantrel> [scratch parent folder]" >&2
    exit 2
fi
cantrel=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
if [ $# -ge 2 ]; then
    parent=$2
elif [ -d /dev/shm ] && [ -w /dev/shm ]; then
    parent=/dev/shm
else
    parent=${TMPDIR:-/tmp}
fi
runs=${CANTREL_BENCH_RUNS:-5}
[ -x /usr/bin/time ] || { echo "LoadingBench.sh: /usr/bin/time is missing" >&2; exit 1; }

work=$(mktemp -d "$parent/cantrel-loading-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
cd "$work"

# A little-endian 32-bit number as printf escapes.
le32() {
    printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255))
}

# The headers of an RLE8 file with a one-entry colour table:
#   rle8_headers <width> <height> <pixel data bytes>
rle8_headers() {
    offset=$((14 + 40 + 4))
    # shellcheck disable=SC2059  # the escapes are the format on purpose
    printf "BM$(le32 $((offset + $3)))\\000\\000\\000\\000$(le32 $offset)"
    # shellcheck disable=SC2059
    printf "$(le32 40)$(le32 "$1")$(le32 "$2")\\001\\000\\010\\000$(le32 1)$(le32 "$3")$(le32 0)$(le32 0)$(le32 1)$(le32 0)"
    printf '\377\377\377\000'
}

# 524,288 bytes of end-of-row escapes: with 128 pixels a byte at most, just
# enough for the reader's old data-size guard to let the declaration through.
{ rle8_headers 1 67108864 524288; head -c 524288 /dev/zero; } > tall.bmp
# One run of 5 pixels of index 7, then the end of the bitmap.
{ rle8_headers 8192 8192 4; printf '\005\007\000\001'; } > early.bmp
{ rle8_headers 32767 32767 4; printf '\005\007\000\001'; } > largest.bmp
# Every row: 32 runs of 255 pixels and one of 32 (8,192 pixels), end of row.
: > row.bin
i=0
while [ $i -lt 32 ]; do printf '\377\007' >> row.bin; i=$((i + 1)); done
printf '\040\007\000\000' >> row.bin
i=0
while [ $i -lt 13 ]; do cat row.bin row.bin > rows.bin; mv rows.bin row.bin; i=$((i + 1)); done
{ rle8_headers 8192 8192 "$(wc -c < row.bin)"; cat row.bin; } > full.bmp

# measure <label> <cantrel arguments...>
measure() {
    label=$1
    shift
    i=0
    : > times
    while [ $i -lt "$runs" ]; do
        rm -f out.bmp out.pic
        /usr/bin/time -f '%e %M' -o time.txt "$cantrel" "$@" > stdout.txt
        cat time.txt >> times
        i=$((i + 1))
    done
    # The converter's last line tells how it ended.
    outcome=$(tail -n 1 stdout.txt | tr -d '\r')
    awk -v label="$label" -v outcome="$outcome" '
        NR == 1 || $1 < fast { fast = $1 }
        NR == 1 || $1 > slow { slow = $1 }
        NR == 1 || $2 > peak { peak = $2 }
        END { printf "%-40s %6.2f - %6.2f s  %8.1f MiB  (%s)\n", label, fast, slow, peak / 1024, outcome }
    ' times
}

echo "$runs runs each; time fastest - slowest, largest peak resident memory"
measure "tall.bmp (513 KB, 1 x 67108864), query" -q tall.bmp
measure "tall.bmp to PIC" tall.bmp out.pic
measure "early.bmp (8192 x 8192), query" -q early.bmp
measure "early.bmp to BMP" early.bmp out.bmp
measure "early.bmp to PIC" early.bmp out.pic
measure "largest.bmp (32767 x 32767), query" -q largest.bmp
measure "full.bmp (8192 x 8192), query" -q full.bmp
measure "full.bmp to BMP" full.bmp out.bmp
measure "full.bmp to PIC" full.bmp out.pic
