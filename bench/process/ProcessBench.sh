#!/bin/sh
# Whole-process speed of the converter beside ImageMagick, like for like:
# one 320 x 200 picture each way (PIC to BMP beside GIF to an uncompressed
# 8-bit BMP, and back), and a wildcard batch over many copies of it beside
# mogrify. Prints the time per run, the files per second and the ratios.
#
#   ProcessBench.sh <cantrel> <picture.pic> [scratch parent folder]
#
# Environment: CANTREL_BENCH_RUNS (one-file runs per command, default 200),
# CANTREL_BENCH_FILES (batch size, default 500), CANTREL_BENCH_BATCHES (batch
# runs per command, the best counts; default 3). The scratch folder defaults to
# /dev/shm where it exists (no disk in the measurement), else $TMPDIR or /tmp.
set -eu
. "$(dirname "$0")/WholeRuns.sh"
start_whole_runs ProcessBench.sh "$@"
runs=${CANTREL_BENCH_RUNS:-200}
files=${CANTREL_BENCH_FILES:-500}
batches=${CANTREL_BENCH_BATCHES:-3}
convert=convert-im6.q16
mogrify=mogrify-im6.q16
need_tools ProcessBench.sh "$convert" "$mogrify"

# Milliseconds of the fastest of $batches runs of a command in a fresh folder
# made by $1 (a function filling the current folder), the rest being the command.
best_batch() {
    fill=$1
    shift
    best=
    b=0
    while [ $b -lt "$batches" ]; do
        folder="batch-$fill-$b"
        mkdir "$folder"
        (cd "$folder" && $fill)
        start=$(now)
        (cd "$folder" && "$@" >/dev/null)
        end=$(now)
        rm -rf "$folder"
        took=$(((end - start) / 1000000))
        best=$(least "$best" "$took")
        b=$((b + 1))
    done
    echo "$best"
}

ratio() { awk -v slow="$1" -v fast="$2" 'BEGIN { printf "%.1f", slow / fast }'; }
rate() { awk -v n="$files" -v ms="$1" 'BEGIN { printf "%.0f", n * 1000 / ms }'; }
verdict() { awk -v r="$1" -v t="$2" 'BEGIN { print (r >= t ? "target met" : "TARGET MISSED") }'; }

# The picture as PIC, BMP (written by the converter) and GIF (ImageMagick's
# indexed format, made from that BMP).
cp "$picture" in.pic
"$cantrel" in.pic in.bmp >/dev/null
"$convert" in.bmp in.gif
[ -s in.bmp ] && [ -s in.gif ] || { echo "ProcessBench.sh: no BMP or GIF of the picture" >&2; exit 1; }

echo "Scratch folder: $work ($(df -T "$work" | awk 'NR == 2 { print $2 }'))"
echo "One file, $runs runs each (microseconds a run):"
pic_to_bmp=$(per_run "$cantrel" in.pic out.bmp)
gif_to_bmp=$(per_run "$convert" in.gif -compress none BMP3:out3.bmp)
bmp_to_pic=$(per_run "$cantrel" in.bmp out.pic)
bmp_to_gif=$(per_run "$convert" in.bmp out.gif)
bare=$(per_run "$cantrel")
r1=$(ratio "$gif_to_bmp" "$pic_to_bmp")
r2=$(ratio "$bmp_to_gif" "$bmp_to_pic")
printf '  %-52s %6d\n' "cantrel in.pic out.bmp" "$pic_to_bmp"
printf '  %-52s %6d   ratio %sx (%s, 4x wanted)\n' "$convert in.gif -compress none BMP3:out.bmp" "$gif_to_bmp" "$r1" "$(verdict "$r1" 4)"
printf '  %-52s %6d\n' "cantrel in.bmp out.pic" "$bmp_to_pic"
printf '  %-52s %6d   ratio %sx (%s, 4x wanted)\n' "$convert in.bmp out.gif" "$bmp_to_gif" "$r2" "$(verdict "$r2" 4)"
printf '  %-52s %6d   (the banner and help only: a bare start)\n' "cantrel" "$bare"

copies() {
    extension=$1
    n=1
    while [ $n -le "$files" ]; do
        cp "../in.$extension" "p$n.$extension"
        n=$((n + 1))
    done
}
pics() { copies pic; }
gifs() { copies gif; }
bmps() { copies bmp; }

echo "Wildcard batch of $files files, best of $batches (milliseconds, files per second):"
cantrel_pics=$(best_batch pics "$cantrel" "*.pic")
mogrify_gifs=$(best_batch gifs "$mogrify" -format bmp -define bmp:format=bmp3 -compress none "*.gif")
cantrel_bmps=$(best_batch bmps "$cantrel" "*.bmp")
mogrify_bmps=$(best_batch bmps "$mogrify" -format gif "*.bmp")
r3=$(ratio "$mogrify_gifs" "$cantrel_pics")
r4=$(ratio "$mogrify_bmps" "$cantrel_bmps")
printf '  %-52s %6d %7s/s\n' "cantrel \"*.pic\"" "$cantrel_pics" "$(rate "$cantrel_pics")"
printf '  %-52s %6d %7s/s   ratio %sx (%s, 10x wanted)\n' "$mogrify -format bmp (BMP3, uncompressed) \"*.gif\"" \
    "$mogrify_gifs" "$(rate "$mogrify_gifs")" "$r3" "$(verdict "$r3" 10)"
printf '  %-52s %6d %7s/s\n' "cantrel \"*.bmp\"" "$cantrel_bmps" "$(rate "$cantrel_bmps")"
printf '  %-52s %6d %7s/s   ratio %sx (%s, 10x wanted)\n' "$mogrify -format gif \"*.bmp\"" "$mogrify_bmps" \
    "$(rate "$mogrify_bmps")" "$r4" "$(verdict "$r4" 10)"
