#!/bin/sh
# The Windows ZIP as a user gets it, in four parts, each its own test:
#   contents  the files it holds, the documents and samples the project's;
#   headers   both programs are 32-bit (i386) Windows programs, Cantrel.exe
#             for the console and Lumbrel.exe for the GUI, importing from
#             Windows' own DLLs only;
#   cantrel   Cantrel.exe from the unpacked folder, under Wine, must print and
#             write exactly what the native cantrel does on the same command
#             lines;
#   lumbrel   Lumbrel.exe must start with the sample, show it in its window,
#             and close on File/Exit (on an X server of this test's own).
# The last two run the 32-bit programs. Where this machine cannot run them
# (the choice tools/wine-run --choose makes, which tools/test passes on as
# CANTREL_WINDOWS_TESTS), they exit 77, which ctest reports as skipped, and
# say why on a line that starts with "SKIPPED: ".
#
#   CheckZip.sh <part> <package.zip> <built Cantrel.exe> <native cantrel> <wine-run> <source folder>
#               <work folder> <Wine prefix> [identify]
set -u
part=$1 zip=$2 built=$3 native=$4 winerun=$5 source=$6 work=$7/$1 prefix=$8 identify=${9:-identify}
timeout_seconds=${PACKAGE_TEST_TIMEOUT:-120}
. "$source/tests/common/XSession.sh"
. "$source/tests/common/Failures.sh"

[ -f "$zip" ] || stop "no package $zip: make it with cmake --workflow --preset package-zip (or cpack --preset zip)"
[ "$zip" -nt "$built" ] || stop "$zip is older than $built: make it again with cpack --preset zip"
rm -rf "$work"
mkdir -p "$work"
unzip -q "$zip" -d "$work/unpacked" || stop "unzip failed"
unpacked="$work/unpacked"

check_contents() {
    # The files, directories left out: the programs, README and licence at
    # the top, the documents under docs/, the samples under samples/.
    {
        printf '%s\n' Cantrel.exe Lumbrel.exe README.md LICENSE docs/cantrel.1 docs/lumbrel.png docs/pic-format.md
        for sample in "$source"/samples/*; do
            echo "samples/$(basename "$sample")"
        done
    } | sort >"$work/contents.expected"
    unzip -Z1 "$zip" | grep -v '/$' | sort >"$work/contents.actual"
    diff "$work/contents.expected" "$work/contents.actual" >"$work/contents.diff" ||
        fail "the ZIP's files differ from the list (- expected, + found):
$(cat "$work/contents.diff")"
    # Files that differ from the sources mean a package made before they changed.
    older=" (an older package? make it again with cpack --preset zip)"
    for document in README.md LICENSE docs/cantrel.1 docs/lumbrel.png docs/pic-format.md; do
        cmp -s "$unpacked/$document" "$source/$document" || fail "$document is not the project's$older"
    done
    for sample in "$source"/samples/*; do
        cmp -s "$unpacked/samples/$(basename "$sample")" "$sample" ||
            fail "samples/$(basename "$sample") is not the project's$older"
    done
}

# What a user's Windows needs of a program: its machine type, its subsystem
# and the DLLs it imports, read from its PE headers.
check_program_headers() { # program subsystem-number subsystem-name
    headers="$work/$1.headers"
    i686-w64-mingw32-objdump -p "$unpacked/$1" >"$headers" 2>&1 || { fail "objdump cannot read $1"; return; }
    grep -q 'file format pei-i386' "$headers" || fail "$1 is not a 32-bit (i386) Windows program"
    grep -q '^Magic[[:space:]]*010b' "$headers" || fail "$1 has no 32-bit optional header (PE32)"
    grep -Eq "^Subsystem[[:space:]]+0*$2[[:space:]]" "$headers" ||
        fail "$1 is not a $3 program: $(grep '^Subsystem' "$headers")"
    grep 'DLL Name:' "$headers" | sed 's/.*DLL Name: *//' | tr 'a-z' 'A-Z' | sort -u >"$work/$1.imports"
    [ -s "$work/$1.imports" ] || fail "$1 imports no DLL at all"
    others=$(grep -Evx 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|COMDLG32.DLL|MSVCRT.DLL' "$work/$1.imports")
    [ -z "$others" ] || fail "$1 imports DLLs that are not Windows' own: $others"
}

check_headers() {
    check_program_headers Cantrel.exe 3 console
    check_program_headers Lumbrel.exe 2 GUI
}

skip_unless_runnable() {
    choice=$("$winerun" --choose)
    case $choice in
        win32) ;;
        *)
            echo "SKIPPED: packaging.zip.$part: the ZIP's 32-bit programs are not run here ${choice#win64 }"
            exit 77
            ;;
    esac
}

start_wine() {
    export WINEPREFIX="$prefix" WINEDEBUG=-all
    viewer_pid=""
    trap 'x_wine_stop "$winerun" "$viewer_pid"' EXIT
    trap 'exit 1' INT TERM HUP
    # The first start in a new prefix builds the prefix, which takes longer
    # than any step below may.
    timeout 600 "$winerun" "$unpacked/Cantrel.exe" </dev/null >"$work/first-start.out" 2>&1 ||
        stop "Cantrel.exe does not start under Wine: $(tail -n 5 "$work/first-start.out")"
}

check_cantrel() {
    # Each command line runs in two fresh folders holding the samples: once
    # natively, once Cantrel.exe from the ZIP. Output and folders must be equal.
    number=0
    while read -r words; do
        number=$((number + 1))
        mkdir -p "$work/runs/$number/native" "$work/runs/$number/windows"
        cp "$unpacked"/samples/* "$work/runs/$number/native/"
        cp "$unpacked"/samples/* "$work/runs/$number/windows/"
        set -f
        # shellcheck disable=SC2086  # the words are meant to split, unglobbed
        (cd "$work/runs/$number/native" && timeout "$timeout_seconds" "$native" $words </dev/null >../native.out) ||
            fail "cantrel $words: exit status $?"
        (cd "$work/runs/$number/windows" &&
            timeout "$timeout_seconds" "$winerun" "$unpacked/Cantrel.exe" $words </dev/null >../windows.out 2>../windows.err) ||
            fail "Cantrel.exe $words: exit status $? $(cat "$work/runs/$number/windows.err")"
        set +f
        cmp -s "$work/runs/$number/native.out" "$work/runs/$number/windows.out" ||
            fail "Cantrel.exe $words prints otherwise than cantrel (see $work/runs/$number)"
        diff -r "$work/runs/$number/native" "$work/runs/$number/windows" >"$work/runs/$number/files.diff" ||
            fail "Cantrel.exe $words leaves other files than cantrel: $(cat "$work/runs/$number/files.diff")"
    done <<'COMMANDS'
valley.pic
-q cottage.pic
-q map.bmp
-d cottage.bmp plain.pic
-u valley.pic map.bmp dusk.pic
-f valley.pic cottage.pic dusk.bmp
*.pic
missing.pic
valley.pic valley.gif
COMMANDS
    [ "$number" -ge 9 ] || fail "only $number command lines were run"
}

check_lumbrel() {
    x_start "$work" || stop "no X server could be started: $(cat "$work/xvfb.log")"

    # Lumbrel.exe on the sample: its window, titled with the file's name, shows
    # a picture of many colours; File/Exit ends the program.
    mkdir -p "$work/viewer"
    cp "$unpacked/samples/valley.pic" "$work/viewer/"
    (cd "$work/viewer" && exec "$winerun" "$unpacked/Lumbrel.exe" valley.pic >viewer.log 2>&1) &
    viewer_pid=$!
    window=$(x_window valley.pic "$timeout_seconds")
    [ -n "$window" ] || stop "Lumbrel.exe shows no window titled valley.pic within $timeout_seconds seconds"
    # The picture is painted after the window appears: look again until it shows.
    colours=0
    start=$(date +%s)
    while [ $(($(date +%s) - start)) -lt "$timeout_seconds" ]; do
        timeout 20 import -window "$window" "$work/viewer.png" 2>/dev/null &&
            colours=$(timeout 20 "$identify" -format %k "$work/viewer.png" 2>/dev/null)
        [ "${colours:-0}" -ge 64 ] && break
        sleep 0.5
    done
    [ "${colours:-0}" -ge 64 ] || fail "Lumbrel.exe's window shows ${colours:-no} colours, not the sample picture"
    timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null
    timeout 10 xdotool key --delay 50 alt+f x || fail "xdotool could not press File/Exit"
    start=$(date +%s)
    while kill -0 "$viewer_pid" 2>/dev/null; do
        [ $(($(date +%s) - start)) -lt "$timeout_seconds" ] || stop "File/Exit does not end Lumbrel.exe"
        sleep 0.1
    done
    wait "$viewer_pid"
    viewer_pid=""
}

case $part in
    contents) check_contents ;;
    headers) check_headers ;;
    cantrel) skip_unless_runnable; start_wine; check_cantrel ;;
    lumbrel) skip_unless_runnable; start_wine; check_lumbrel ;;
    *) stop "no part $part of the ZIP's test" ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "packaging.zip.$part passed"
