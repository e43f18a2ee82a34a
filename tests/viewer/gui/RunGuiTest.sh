#!/bin/sh
# Drives Lumbrel.exe under Wine on a private X server as a user would: start
# it with a picture on its command line, then keys through the View menu,
# the About box, File/Open... and File/Exit, checking a screenshot after every
# step, and the About box's controls. Screenshots stay in the artifact folder.
# GUI_DPI, when set, is the display's DPI for the run (Wine's LogPixels).
#   RunGuiTest.sh <Lumbrel.exe> <gui_tool.exe> <wine-run> <artifact folder> [convert]
set -u
viewer=$1 tool=$2 winerun=$3 out=$4 convert=${5:-convert}
step_timeout=${GUI_STEP_TIMEOUT:-30}
samples=$(cd "$(dirname "$0")/../../../samples" && pwd)
. "$(dirname "$0")/../../common/XSession.sh"
. "$(dirname "$0")/../../common/Failures.sh"

# A new folder each run: the open-file dialog remembers the folder it showed
# last (in the prefix), and must not find it again, so that it starts in the
# current folder.
rm -rf "$out"/work-* "$out"/*.png "$out"/*.ppm "$out"/*.txt
work="$out/work-$$"
mkdir -p "$work/other"
export WINEPREFIX="$out/prefix" WINEDEBUG=-all
viewer_pid=""

# Every step needs the one before it, so the first failure ends the test
# (die); what was on the screen then stays for the person reading the log.
cleanup() {
    if [ $? -ne 0 ]; then
        timeout 20 import -window root "$out/failure.png" 2>/dev/null
        echo "windows:"
        timeout 10 xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do
            echo "  $(timeout 5 xdotool getwindowname "$w" 2>/dev/null)"
        done
    fi
    x_wine_stop "$winerun" "$viewer_pid"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

start_x() {
    x_start "$out" || die "no X server could be started: $(cat "$out/xvfb.log")"
}

# The window of the given title, waited for.
window_named() {
    x_window "$1" "$step_timeout"
}

# Screenshot of the whole screen (a window that vanishes while it is being
# read can leave the server grabbed), cut to the window as PPM for the check.
shoot() { # window name
    timeout 20 import -window root "$out/$2.png" || return 1
    eval "$(timeout 10 xdotool getwindowgeometry --shell "$1")" || return 1
    timeout 20 "$convert" "$out/$2.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$2.ppm"
}

# Takes screenshots until one passes the pixel check, or the time is up.
expect_view() { # window name picture view
    start=$(date +%s)
    while :; do
        if shoot "$1" "$2" && (cd "$out" && timeout 60 "$winerun" "$tool" check "$2.ppm" "$3" "$4" >"$2.check.txt" 2>&1); then
            rm -f "$out/$2.ppm"
            return 0
        fi
        [ $(($(date +%s) - start)) -ge "$step_timeout" ] && { cat "$out/$2.check.txt"; die "$2: the window does not show $3 with view '$4'"; }
    done
}

keys() { # window keys...
    w=$1
    shift
    timeout 10 xdotool windowfocus --sync "$w" 2>/dev/null
    timeout 10 xdotool key --delay 50 "$@" || die "xdotool key $*"
}

wait_gone() { # window name
    start=$(date +%s)
    while timeout 10 xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        [ $(($(date +%s) - start)) -ge "$step_timeout" ] && die "the window '$1' stays open"
        sleep 0.1
    done
}

# File/Exit; the program must end.
quit() { # window
    keys "$1" alt+f x
    start=$(date +%s)
    while kill -0 "$viewer_pid" 2>/dev/null; do
        [ $(($(date +%s) - start)) -ge "$step_timeout" ] && die "File/Exit does not end the program"
        sleep 0.1
    done
    wait "$viewer_pid"
    viewer_pid=""
}

start_x
(cd "$work" && "$winerun" "$tool" pictures .) || die "test pictures not written"

# The display's DPI, GUI_DPI when set: in the prefix (made by the step
# above) before the viewer starts, and read back as a program sees it.
if [ -n "${GUI_DPI:-}" ]; then
    timeout 60 "$winerun" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$GUI_DPI" /f \
        </dev/null >/dev/null 2>&1 || die "the prefix does not take LogPixels $GUI_DPI"
    dpi=$(cd "$work" && timeout 60 "$winerun" "$tool" dpi </dev/null | tr -d '\r')
    [ "$dpi" = "$GUI_DPI" ] || die "the display reports ${dpi:-no} DPI, not $GUI_DPI"
fi

# Start-up: the picture named on the command line, titled with that name.
cd "$work" || exit 1
"$winerun" "$viewer" start.pic >"$out/viewer.log" 2>&1 &
viewer_pid=$!
main=$(window_named start.pic)
[ -n "$main" ] || die "no window titled start.pic"
expect_view "$main" 01-start start -

# The View options, each toggled on and off again.
keys "$main" alt+v p;  expect_view "$main" 02-palette start p
keys "$main" alt+v 2;  expect_view "$main" 03-palette-magnify start pm
keys "$main" alt+v f;  expect_view "$main" 04-palette-magnify-frame start pmf
keys "$main" alt+v p;  expect_view "$main" 05-magnify-frame start mf
keys "$main" alt+v 2;  expect_view "$main" 06-frame start f
keys "$main" alt+v f;  expect_view "$main" 07-plain start -

# The About box, from both accelerators; Escape and Enter (OK) end it.
keys "$main" alt+question
about=$(window_named About)
[ -n "$about" ] || die "Alt+? opens no About box"
shoot "$about" 08-about
# Its controls inside it, apart, and their texts whole in its font.
(cd "$work" && timeout 60 "$winerun" "$tool" about </dev/null >"$out/08-about.check.txt" 2>&1) ||
    { tr -d '\r' <"$out/08-about.check.txt"; die "the About box does not lay out"; }
keys "$about" Escape
wait_gone About
keys "$main" alt+slash
about=$(window_named About)
[ -n "$about" ] || die "Alt+/ opens no About box"
keys "$about" Return
wait_gone About

# File/Open...: a picture in another folder, its full name typed into the
# dialog (Wine's dialog takes a typed relative name with a folder in it
# against the wrong folder); it has no palette, so it shows in the colours
# start.pic left behind.
second=$(timeout 60 "$winerun" winepath -w "$work/other/second.pic" 2>/dev/null)
[ -n "$second" ] || die "no Windows name for $work/other/second.pic"
keys "$main" alt+v p
# Cancelled first: nothing changes.
keys "$main" alt+f o
dialog=$(window_named Open)
[ -n "$dialog" ] || die "File/Open... shows no Open dialog"
keys "$dialog" Escape
wait_gone Open
expect_view "$main" 09-open-cancelled start p
title=$(timeout 10 xdotool getwindowname "$main")
[ "$title" = start.pic ] || die "the title is '$title' after a cancelled File/Open..., not start.pic"
keys "$main" alt+f o
dialog=$(window_named Open)
[ -n "$dialog" ] || die "File/Open... shows no Open dialog"
timeout 10 xdotool windowfocus --sync "$dialog" 2>/dev/null
timeout 20 xdotool type --delay 20 "$second" || die "typing into the Open dialog"
timeout 10 xdotool key Return
[ -n "$(window_named second.pic)" ] || die "the window is not titled second.pic after opening it"
expect_view "$main" 10-opened-second second p

# File/Exit ends the program.
quit "$main"

# The whole command line names one file. Two words name a file that is not
# there: the window stays black and keeps its own title.
"$winerun" "$viewer" start.pic other.pic >>"$out/viewer.log" 2>&1 &
viewer_pid=$!
main=$(window_named Lumbrel3)
[ -n "$main" ] || die "no window titled Lumbrel3 for a command line of two words"
expect_view "$main" 11-two-words none -
quit "$main"

# A name with a blank comes quoted; the quotes are not part of the title. The
# bundled sample shows with its palette strip (tools/screenshot takes the
# README's picture of it, framed by a window manager).
cp "$samples/valley.pic" "my valley.pic" || die "no bundled sample"
"$winerun" "$viewer" "my valley.pic" >>"$out/viewer.log" 2>&1 &
viewer_pid=$!
main=$(window_named "my valley.pic")
[ -n "$main" ] || die "no window titled my valley.pic"
keys "$main" alt+v p
expect_view "$main" 12-sample-palette sample p
quit "$main"

# A file of 11 bytes that declares 32,767 x 32,767 pixels: the window keeps its
# title and answers its menus at once; the About box must be up within
# GUI_MENU_SECONDS (default 1) of the keys that ask for it.
"$winerun" "$viewer" bomb.pic >>"$out/viewer.log" 2>&1 &
viewer_pid=$!
main=$(window_named bomb.pic)
[ -n "$main" ] || die "no window titled bomb.pic"
menu_limit_ms=$((${GUI_MENU_SECONDS:-1} * 1000))
timeout 10 xdotool windowfocus --sync "$main" 2>/dev/null
asked=$(date +%s%N)
timeout 10 xdotool key alt+question || die "xdotool key alt+question"
about=$(window_named About)
answered=$(date +%s%N)
[ -n "$about" ] || die "bomb.pic: Alt+? opens no About box"
took_ms=$(((answered - asked) / 1000000))
echo "bomb.pic: the About box was up $took_ms ms after Alt+?"
[ "$took_ms" -le "$menu_limit_ms" ] || die "bomb.pic: the About box took $took_ms ms, more than $menu_limit_ms"
keys "$about" Escape
wait_gone About
title=$(timeout 10 xdotool getwindowname "$main")
[ "$title" = bomb.pic ] || die "the title is '$title' after the About box, not bomb.pic"
quit "$main"

# The same picture in colours of its own: its top-left part fills the window,
# at both magnifications, above the palette strip.
"$winerun" "$viewer" colour-bomb.pic >>"$out/viewer.log" 2>&1 &
viewer_pid=$!
main=$(window_named colour-bomb.pic)
[ -n "$main" ] || die "no window titled colour-bomb.pic"
expect_view "$main" 13-bomb bomb -
keys "$main" alt+v p;  expect_view "$main" 14-bomb-palette bomb p
keys "$main" alt+v 2;  expect_view "$main" 15-bomb-palette-magnify bomb pm
quit "$main"
echo "viewer window test passed; screenshots in $out"
