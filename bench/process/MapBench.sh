#!/bin/sh
# What -m costs, through the whole converter as a user runs it: a 640 x 400
# picture (the sample scaled up, so every pixel keeps a palette colour) saved
# in 24 bits and mapped back onto the palette of its PIC file, beside the same
# picture saved in 8 bits and converted plainly, and with -u of the same PIC
# file (which loads the same files as -m but maps nothing). ImageMagick's
# remapping of the 24-bit file onto the same colours is the peer. Prints the
# time per run of each and the ratios.
#
#   MapBench.sh <cantrel> <picture.pic> [scratch parent folder]
#
# Environment: CANTREL_BENCH_RUNS (runs per round, default 20) and
# CANTREL_BENCH_ROUNDS (rounds per command, the fastest counts; default 5).
# The scratch folder defaults to /dev/shm where it exists (no disk in the
# measurement), else $TMPDIR or /tmp. Build the converter optimised and
# without sanitizers (the bench or release preset).
set -eu
. "$(dirname "$0")/WholeRuns.sh"
start_whole_runs MapBench.sh "$@"
runs=${CANTREL_BENCH_RUNS:-20}
rounds=${CANTREL_BENCH_ROUNDS:-5}
convert=convert-im6.q16
need_tools MapBench.sh "$convert"

# Microseconds per run of a command: the fastest of $rounds rounds of $runs
# runs (other work on the machine only slows a round down), after one run
# that leaves the files each later run finds.
fastest_run() {
    "$@" >/dev/null
    best=
    round=0
    while [ $round -lt "$rounds" ]; do
        best=$(least "$best" "$(per_run "$@")")
        round=$((round + 1))
    done
    echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# The picture at 640 x 400 (scaled by whole pixels: no new colours) in 24
# bits; mapped onto the sample's palette, the PIC file it is then a save of;
# that file's 8-bit BMP file; the colours it uses as ImageMagick's palette.
cp "$picture" small.pic
"$cantrel" small.pic small.bmp >/dev/null
"$convert" small.bmp -scale 200% -type TrueColor BMP3:in24.bmp
"$cantrel" -m small.pic in24.bmp big.pic >/dev/null
"$cantrel" big.pic in8.bmp >/dev/null
"$convert" in8.bmp -unique-colors palette.png
# The mapping must give back the PIC file exactly, or the times mean nothing.
"$cantrel" -m big.pic in24.bmp check.pic >/dev/null
cmp -s check.pic big.pic || { echo "MapBench.sh: -m does not give back the picture" >&2; exit 1; }
# Width, height and bits per pixel, from the BMP header.
size="$(od -An -tu4 -j18 -N8 in24.bmp | awk '{ printf "%d x %d", $1, $2 }'), $(od -An -tu2 -j28 -N2 in24.bmp | tr -d ' ') bits"

echo "Scratch folder: $work ($(df -T "$work" | awk 'NR == 2 { print $2 }')); the picture $size; the fastest of $rounds rounds of $runs runs"
echo "Microseconds a run:"
mapped=$(fastest_run "$cantrel" -m big.pic in24.bmp out-m.pic)
plain=$(fastest_run "$cantrel" in8.bmp out-8.pic)
used=$(fastest_run "$cantrel" -u big.pic in8.bmp out-u.pic)
indexed=$(fastest_run "$cantrel" -m big.pic in8.bmp out-m8.pic)
peer=$(fastest_run "$convert" in24.bmp +dither -remap palette.png BMP3:out-im.bmp)
bare=$(fastest_run "$cantrel")
printf '  %-60s %7d   %sx the plain conversion, %sx -u\n' "cantrel -m big.pic in24.bmp out.pic" "$mapped" \
    "$(ratio "$mapped" "$plain")" "$(ratio "$mapped" "$used")"
printf '  %-60s %7d\n' "cantrel in8.bmp out.pic" "$plain"
printf '  %-60s %7d   (loads the same PIC file as -m)\n' "cantrel -u big.pic in8.bmp out.pic" "$used"
printf '  %-60s %7d   (-m of the 8-bit save)\n' "cantrel -m big.pic in8.bmp out.pic" "$indexed"
printf '  %-60s %7d   %sx cantrel -m\n' "$convert in24.bmp +dither -remap palette.png out.bmp" "$peer" \
    "$(ratio "$peer" "$mapped")"
printf '  %-60s %7d   (the banner and help only: a bare start)\n' "cantrel" "$bare"
