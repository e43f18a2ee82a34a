#!/bin/sh
# Runs a Windows program under Wine on a virtual display of its own and plays
# the user who meets its one message box: checks the caption and the text,
# checks that nothing was written while the box was up, dismisses it with the
# Return key and lets the program finish. Used as RunCase.cmake's EMULATOR, so
# the case's stdout and files are judged as for any other case.
#
#   WithMessageBox.sh <program> [words...]
#
# Environment:
#   CANTREL_WINE_RUN     tools/wine-run
#   CANTREL_MESSAGE_BOX  a file: the caption on line 1, the text on line 2 as
#                        Wine's msgbox trace spells it (a line feed as \n)
#   WINEPREFIX           a prefix of this test's own (created when missing)
#
# Exits with the program's status, or 90 and a reason on stderr when the box
# is not as expected. Never waits without a limit, and leaves no Xvfb or
# wineserver running.
set -u
. "$(dirname "$0")/../common/Failures.sh"
die_status=90

: "${CANTREL_WINE_RUN:?}" "${CANTREL_MESSAGE_BOX:?}" "${WINEPREFIX:?}"
export WINEPREFIX
caption=$(sed -n 1p "$CANTREL_MESSAGE_BOX")
text=$(sed -n 2p "$CANTREL_MESSAGE_BOX")

# Trace and display files live outside the current folder, which the case
# checks for stray files.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/cantrel-msgbox.XXXXXX") || die "no scratch folder"
. "$(dirname "$0")/../common/XSession.sh"
program_pid=""
cleanup() {
    x_wine_stop "$CANTREL_WINE_RUN" "$program_pid"
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 91' INT TERM HUP

x_start "$scratch" || die "no X server could be started: $(cat "$scratch/xvfb.log")"

before=$(ls -A)
WINEDEBUG=+msgbox timeout 240 "$CANTREL_WINE_RUN" "$@" 2>"$scratch/trace" &
program_pid=$!

# The first start of a new prefix takes a while; the box comes after it.
window=""
tries=0
while :; do
    window=$(timeout 10 xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$program_pid" 2>/dev/null || die "the program ended without a box captioned \"$caption\""
    tries=$((tries + 1))
    [ "$tries" -lt 1800 ] || die "no box captioned \"$caption\" within 180 s"
    sleep 0.1
done

# The search ignores case; the caption must match exactly.
name=$(timeout 10 xdotool getwindowname "$window" 2>/dev/null)
[ "$name" = "$caption" ] || die "the box is captioned \"$name\", expected \"$caption\""
shown=$(sed -n 's/^.*trace:msgbox:MSGBOX_OnInit //p' "$scratch/trace" | tr -d '\r')
[ "$shown" = "L\"$text\"" ] || die "the box says $shown, expected L\"$text\""
[ "$(ls -A)" = "$before" ] || die "files changed while the box was up: $(ls -A)"

timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null || die "cannot focus the box"
timeout 10 xdotool key Return || die "cannot press Return"

wait "$program_pid"
status=$?
program_pid=""
exit "$status"
