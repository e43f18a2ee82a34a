#!/bin/sh
# Time from starting Lumbrel.exe with a picture on its command line to the
# first screen on which the picture's top-left pixel is painted, under Wine on
# a private X server. Uses the win32 build (with its tests, for gui_tool):
#   cmake --preset win32 && cmake --build --preset win32
#   bench/viewer/StartToPaint.sh [build/win32] [runs]
# Measures the bundled sample (320 x 200) and a 2048 x 2048 picture.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd) || exit 2
runs=${2:-3}
viewer=$build/viewer/Lumbrel.exe
tool=$build/tests/viewer/gui_tool.exe
winerun=$root/tools/wine-run
out=$build/bench/viewer
. "$root/tests/common/XSession.sh"
[ -f "$viewer" ] && [ -f "$tool" ] || { echo "build the win32 preset first ($viewer, $tool)"; exit 2; }

mkdir -p "$out"
export WINEPREFIX="$out/prefix" WINEDEBUG=-all
viewer_pid=""
cleanup() {
    x_wine_stop "$winerun" "$viewer_pid"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

x_start "$out" || { echo "no X server could be started: $(cat "$out/xvfb.log")"; exit 1; }

cp "$root/samples/valley.pic" "$out/valley.pic"
(cd "$out" && "$winerun" "$tool" blocks big.pic 2048 2048) || exit 1
# Start Wine's services once, so that every run below finds them running.
(cd "$out" && "$winerun" "$tool" blocks warm.pic 1 1) >/dev/null

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# One run: milliseconds until the client area's top-left pixel is not black.
# The sample's top-left corner is a dark colour of its own palette; the big
# picture's is index 32 of the default palette.
measure() { # picture x-offset y-offset
    start=$(now_ms)
    (cd "$out" && exec "$winerun" "$viewer" "$1") >/dev/null 2>&1 &
    viewer_pid=$!
    window=$(x_window "$1" 60)
    [ -n "$window" ] || { echo "no window for $1"; return 1; }
    eval "$(timeout 10 xdotool getwindowgeometry --shell "$window")"
    # The client area starts below the menu bar, the first black row on the right.
    while :; do
        pixel=$(timeout 20 import -window root -crop "1x1+$((X + $2))+$((Y + $3))" -depth 8 txt:- 2>/dev/null | tail -n 1)
        case "$pixel" in *"#000000"*|"") ;; *) break ;; esac
        [ $(($(now_ms) - start)) -gt 120000 ] && { echo "$1 never painted"; return 1; }
    done
    end=$(now_ms)
    # File/Exit, and a plain kill should that not end it.
    timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null
    timeout 10 xdotool key alt+f x 2>/dev/null
    i=0
    while kill -0 "$viewer_pid" 2>/dev/null; do
        i=$((i + 1))
        [ $i -gt 200 ] && kill "$viewer_pid"
        sleep 0.1
    done
    wait "$viewer_pid" 2>/dev/null
    viewer_pid=""
    echo $((end - start))
}

# Where each picture's top-left pixel lands: the window is 760 x 549 on this
# screen (menu bar 19 rows), so the sample sits centred and the big picture
# at the client's corner.
for picture in valley.pic:220:184 big.pic:0:19; do
    name=${picture%%:*} rest=${picture#*:}
    dx=${rest%%:*} dy=${rest#*:}
    times=""
    r=0
    while [ $r -lt "$runs" ]; do
        t=$(measure "$name" "$dx" "$dy") || { echo "$t"; exit 1; }
        times="$times $t"
        r=$((r + 1))
    done
    echo "$name: start to first painted picture, ms:$times"
done
