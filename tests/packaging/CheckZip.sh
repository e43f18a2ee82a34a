#!/bin/sh
# The Windows ZIP as a user gets it, in parts, each its own test:
#   contents   the files it holds; the documents and samples the project's,
#              and each text what the build makes of its source;
#   texts      the texts for Windows users: CR LF line ends, plain ASCII, no
#              troff left in the manual and no Markdown in README.txt, the
#              banner's credit lines worded as the program prints them;
#   headers    both programs are 32-bit (i386) Windows programs, Cantrel.exe
#              for the console and Lumbrel.exe for the GUI, importing from
#              Windows' own DLLs only;
#   resources  both programs' version resource, manifest and icons, read back
#              with wrestool;
#   notices    NOTICES.txt: CR LF and ASCII, what the build makes of its
#              source, and a notice for every library whose code the
#              programs' strings show they carry;
#   associate  associate.cmd and unassociate.cmd under Wine's cmd, checked
#              with reg query, in a prefix of the architecture this machine
#              runs (Wine's cmd and reg exist in both);
#   cantrel    Cantrel.exe from the unpacked folder, under Wine, must print and
#              write exactly what the native cantrel does on the same command
#              lines;
#   examples   the README's Windows examples, run by Wine's cmd with
#              Cantrel.exe from the unpacked folder, must print what they show;
#   lumbrel    Lumbrel.exe must start with the sample, show it in its window,
#              and close on File/Exit (on an X server of this test's own).
# The last three run the 32-bit programs. Where this machine cannot run them
# (the choice tools/wine-run --choose makes, which tools/test passes on as
# CANTREL_WINDOWS_TESTS), they exit 77, which ctest reports as skipped, and
# say why on a line that starts with "SKIPPED: ".
#
#   CheckZip.sh <part> <package.zip> <built Cantrel.exe> <native cantrel> <wine-run> <source folder>
#               <work folder> <Wine prefix> [identify]
# CANTREL_VERSION is the project's version; CMAKE the cmake that remakes the
# texts to compare.
set -u
part=$1 zip=$2 built=$3 native=$4 winerun=$5 source=$6 work=$7/$1 prefix=$8 identify=${9:-identify}
timeout_seconds=${PACKAGE_TEST_TIMEOUT:-120}
cr=$(printf '\r')
tab=$(printf '\t')
. "$source/tests/common/XSession.sh"
. "$source/tests/common/Failures.sh"

[ -f "$zip" ] || die "no package $zip: make it with cmake --workflow --preset package-zip (or cpack --preset zip)"
[ "$zip" -nt "$built" ] || die "$zip is older than $built: make it again with cpack --preset zip"
rm -rf "$work"
mkdir -p "$work"
unzip -q "$zip" -d "$work/unpacked" || die "unzip failed"
unpacked="$work/unpacked"

# The texts the build makes from the project's documents: name in the ZIP,
# kind for tools/docs/WindowsText.cmake, source.
texts() {
    cat <<'TEXTS'
README.txt readme README.md
LICENSE.txt text LICENSE
associate.cmd text packaging/windows/associate.cmd
unassociate.cmd text packaging/windows/unassociate.cmd
docs/cantrel.txt manual docs/cantrel.1
docs/pic-format.txt document docs/pic-format.md
docs/modding.txt document docs/modding.md
TEXTS
}

check_contents() {
    # The files, directories left out: the programs, texts and scripts at the
    # top, the documents under docs/, the samples under samples/.
    {
        printf '%s\n' Cantrel.exe Lumbrel.exe NOTICES.txt docs/lumbrel.png
        texts | while read -r name kind document; do echo "$name"; done
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
    cmp -s "$unpacked/docs/lumbrel.png" "$source/docs/lumbrel.png" || fail "docs/lumbrel.png is not the project's$older"
    mkdir -p "$work/made"
    while read -r name kind document; do
        made="$work/made/$(basename "$name")"
        "${CMAKE:-cmake}" -DKIND="$kind" -DSOURCE="$source/$document" -DOUTPUT="$made" -DAWK=awk -DGROFF=groff \
            -P "$source/tools/docs/WindowsText.cmake" >"$work/made.log" 2>&1 ||
            { fail "$name cannot be made from $document: $(cat "$work/made.log")"; continue; }
        cmp -s "$unpacked/$name" "$made" || fail "$name is not what the build makes of $document$older"
    done <<TEXTS
$(texts)
TEXTS
    for sample in "$source"/samples/*; do
        cmp -s "$unpacked/samples/$(basename "$sample")" "$sample" ||
            fail "samples/$(basename "$sample") is not the project's$older"
    done
}

# Every line ends with CR LF, the last one too.
check_line_ends() { # name
    file="$unpacked/$1"
    lfs=$(tr -cd '\n' <"$file" | wc -c)
    crs=$(tr -cd '\r' <"$file" | wc -c)
    crlfs=$(grep -c "$cr\$" "$file")
    [ "$lfs" -gt 0 ] && [ "$crs" -eq "$lfs" ] && [ "$crlfs" -eq "$lfs" ] ||
        fail "$1: not every line ends with CR LF ($lfs line feeds, $crs carriage returns, $crlfs lines ending in CR)"
    [ "$(tail -c 1 "$file" | od -An -tx1 | tr -d ' ')" = 0a ] || fail "$1 does not end with a line end"
}

# Lines of a file, without their CRs, that match an extended regular
# expression, in the C locale.
lines_matching() { # name pattern
    tr -d '\r' <"$unpacked/$1" | LC_ALL=C grep -nE "$2" | head -n 5
}

# The two credit lines of the banner, as the end-to-end tests spell them.
credit_lines() {
    sed -n '6,7s/\\r\\n$//p' "$source/tests/e2e/common/banner.expected"
}

check_texts() {
    # Loops read from here-documents, not pipes: a pipe's loop runs in a
    # subshell, whose failures would not count.
    while read -r name kind document; do
        check_line_ends "$name"
        found=$(lines_matching "$name" "[^$tab -~]")
        [ -z "$found" ] || fail "$name holds other than printable ASCII (overstrikes, escapes, other encodings): $found"
    done <<TEXTS
$(texts)
TEXTS
    # Markdown's marks: headings, code, strong and emphasis, links, table
    # rows, comments, and the Linux shell's prompt of the README's examples.
    found=$(lines_matching README.txt '^#|`|\*\*|\]\(|^[[:space:]]*\||<!--|-->|(^|[[:space:](])\*[[:alpha:]]|^[[:space:]]*\$ ')
    [ -z "$found" ] || fail "README.txt holds Markdown: $found"
    # troff's requests at the start of a line, and its escapes for fonts,
    # minus signs, special characters and sizes.
    found=$(lines_matching docs/cantrel.txt '^[.'"'"'][A-Za-z]{1,2}([[:space:]]|$)|\\(f[BIRP]|-|\(..|s[-+]?[0-9])')
    [ -z "$found" ] || fail "docs/cantrel.txt holds troff: $found"
    found=$(lines_matching docs/cantrel.txt '^.{81}')
    [ -z "$found" ] || fail "docs/cantrel.txt has lines wider than 80 columns: $found"
    # What README.txt must tell a Windows user: the cmd examples, going into
    # a folder of one's own, a lasting Path, the warning for unsigned
    # programs, both association scripts, removing and where to report.
    while read -r wanted; do
        tr -d '\r' <"$unpacked/README.txt" | tr -s ' \n' '  ' | grep -qF "$wanted" ||
            fail "README.txt does not mention $wanted"
    done <<'WANTED'
C:\Fenwolds\pics>cantrel
cd /d C:\Fenwolds\pics
Edit environment variables for your account
Windows protected your PC
Run anyway
associate.cmd
unassociate.cmd
then delete the folder
https://cantrel.example.org/
docs\pic-format.txt
docs\modding.txt
WANTED
    # The banner's credit lines as the program prints them (the manual
    # quotes those too) follow below.
    # Paths as Windows writes them: no word with a forward slash between
    # names (an option such as /d, a URL or OS/2 aside).
    found=$(tr -d '\r' <"$unpacked/README.txt" | awk '
        {
            for (i = 1; i <= NF; i++) {
                word = $i
                gsub(/^[("'"'"'`]+|[)"'"'"'`.,:;!?]+$/, "", word)
                if (word ~ /:\/\// || word !~ /\//)
                    continue
                slashes = gsub(/\//, "/", word)
                if (word == "/" || word ~ /^\/[A-Za-z?][A-Za-z]?$/)
                    continue
                if (slashes > 1 || word ~ /^\// || word ~ /\/$/ || word ~ /\/[^\/]*\.[A-Za-z0-9]+$/)
                    printf "%d: %s\n", NR, word
            }
        }' | head -n 5)
    [ -z "$found" ] || fail "README.txt has paths with forward slashes: $found"
    while read -r line; do
        for name in README.txt docs/cantrel.txt; do
            tr -d '\r' <"$unpacked/$name" | grep -qF "$line" || fail "$name lacks the banner's line \"$line\""
        done
    done <<LINES
$(credit_lines)
LINES
    grep -qF SYNOPSIS "$unpacked/docs/cantrel.txt" || fail "docs/cantrel.txt is not the manual"
}

# The licence texts of the runtime code linked into the programs.
check_notices() {
    check_line_ends NOTICES.txt
    found=$(lines_matching NOTICES.txt "[^$tab -~]")
    [ -z "$found" ] || fail "NOTICES.txt holds other than printable ASCII: $found"
    # Its source with the GCC exception's text in place of its line.
    awk -v exception="$source/packaging/licences/GCC-exception-3.1.txt" '
        $0 == "@GCC_EXCEPTION@" { while ((getline line <exception) > 0) print line; next }
        { print }' "$source/packaging/windows/Notices.txt.in" >"$work/notices.expected"
    tr -d '\r' <"$unpacked/NOTICES.txt" >"$work/notices.found"
    cmp -s "$work/notices.expected" "$work/notices.found" ||
        fail "NOTICES.txt is not what the build makes of packaging/windows/Notices.txt.in (an older package?)"
    # A string each library leaves in a program, and the name its notice gives it.
    for program in Cantrel.exe Lumbrel.exe; do
        strings -n 8 "$unpacked/$program" >"$work/$program.strings"
        carried=0
        while IFS='|' read -r marker library; do
            grep -qF "$marker" "$work/$program.strings" || continue
            carried=$((carried + 1))
            grep -qF "$library" "$work/notices.found" ||
                fail "$program carries $library (it holds \"$marker\"), of which NOTICES.txt gives no notice"
        done <<MARKERS
Mingw-w64 runtime failure|1. The mingw-w64 runtime
/winpthreads/|2. winpthreads
terminate called|C++ runtime (libstdc++)
basic_string::|C++ runtime (libstdc++)
libgcc_s_dw2-1.dll|low-level runtime (libgcc)
MARKERS
        [ "$carried" -ge 3 ] || fail "$program shows only $carried of the runtime libraries it is known to carry"
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

# The value after a key among a version resource's strings, which strings
# lists one a line, each key followed by its value.
version_value() { # strings-file key
    awk -v key="$2" 'previous == key { print; found = 1; exit } { previous = $0 } END { exit !found }' "$1"
}

# An icon group as wrestool rebuilds it must begin with the committed .ico
# file's bytes. wrestool writes a few bytes more, which no entry of the
# file's directory points at.
check_icon() { # program group-name committed.ico sizes...
    program=$1 group=$2 committed=$3
    shift 3
    wrestool -x -t14 -n"$group" "$unpacked/$program" >"$work/$program.$group.ico" 2>/dev/null ||
        { fail "$program has no icon group $group"; return; }
    head -c "$(wc -c <"$source/$committed")" "$work/$program.$group.ico" | cmp -s - "$source/$committed" ||
        fail "$program's icon group $group is not $committed"
    # The images as icotool reads them from the program: width x height x bits.
    found=$(icotool -l "$work/$program.$group.ico" 2>&1 |
        sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\) --bit-depth=\([0-9]*\).*/\1x\2x\3/p' | tr '\n' ' ')
    [ "$found" = "$* " ] || fail "$program's icon group $group holds ${found:-no images icotool reads}, not $*"
}

# What Explorer shows of a program and what Windows' loader reads: the
# version resource (Properties, Details) and the application manifest.
check_program_resources() { # program product description
    program="$unpacked/$1"
    wrestool -x --raw -t16 "$program" >"$work/$1.version" 2>/dev/null && [ -s "$work/$1.version" ] ||
        { fail "$1 has no version resource"; return; }
    strings -el "$work/$1.version" >"$work/$1.version.txt"
    version=$(echo "$CANTREL_VERSION.0.0.0" | cut -d. -f1-4)
    while read -r key value; do
        found=$(version_value "$work/$1.version.txt" "$key") || { fail "$1's version resource has no $key"; continue; }
        [ "$found" = "$value" ] || fail "$1's $key is '$found', not '$value'"
    done <<VALUES
ProductName $2
CompanyName The Cantrel project
FileDescription $3
FileVersion $version
ProductVersion $version
LegalCopyright Copyright (c) 2026 The Cantrel project
OriginalFilename $1
VALUES
    # The numbers Windows compares: file and product version, each as two
    # 32-bit words after the fixed part's signature and its own version.
    numbers=$(od -An -v -tx4 "$work/$1.version" | tr -s ' ' '\n' | grep -A6 -x feef04bd | sed -n '3,6p' | tr '\n' ' ')
    expected=$(echo "$version" | awk -F. '{ printf "%04x%04x %04x%04x ", $1, $2, $3, $4 }')
    [ "$numbers" = "$expected$expected" ] || fail "$1's version numbers are $numbers, not $expected$expected"

    wrestool -x --raw -t24 -n1 "$program" >"$work/$1.manifest" 2>/dev/null && [ -s "$work/$1.manifest" ] ||
        { fail "$1 has no application manifest"; return; }
    grep -q 'requestedExecutionLevel level="asInvoker"' "$work/$1.manifest" ||
        fail "$1's manifest does not ask to run with the user's own rights (asInvoker)"
    # Windows 10 and 11 read this entry; without it they treat the program as older.
    grep -q 'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"' "$work/$1.manifest" ||
        fail "$1's manifest names no supported Windows 10"
    # Common controls 6 would switch on visual styles, which change how the
    # windows look.
    ! grep -qi 'Common-Controls' "$work/$1.manifest" ||
        fail "$1's manifest switches on visual styles: $(grep -i 'Common-Controls' "$work/$1.manifest")"
    # The viewer is aware of the system's DPI, so that Windows does not
    # stretch its pixels: the setting in its namespace, within the asm.v3
    # application's windowsSettings. The console converter has no window of
    # its own to declare it for.
    awareness=$(tr -d '\r\n' <"$work/$1.manifest" |
        sed -n 's|.*<application xmlns="urn:schemas-microsoft-com:asm.v3"> *<windowsSettings> *<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">\([^<]*\)</dpiAware> *</windowsSettings> *</application>.*|\1|p')
    case $1 in
        Lumbrel.exe) [ "$awareness" = true ] || fail "$1's manifest does not declare it aware of the system's DPI" ;;
        *) ! grep -qi 'dpiAware' "$work/$1.manifest" || fail "$1's manifest declares a DPI awareness" ;;
    esac
}

check_resources() {
    check_program_resources Cantrel.exe Cantrel "Fenwolds PIC and BMP converter"
    check_program_resources Lumbrel.exe Lumbrel "Fenwolds PIC viewer"
    # 16 colours at 32 x 32 and 16 x 16, which every Windows shows, and
    # 32-bit colour for Explorer's large views and high DPI.
    check_icon Cantrel.exe 1 converter/Cantrel.ico 32x32x4 16x16x4 48x48x32 256x256x32
    check_icon Lumbrel.exe 107 viewer/Lumbrel.ico 32x32x4 16x16x4 48x48x32 256x256x32
    check_icon Lumbrel.exe 108 viewer/LumbrelSmall.ico 16x16x4
}

# The default value of a registry key under HKCU\Software\Classes, or
# nothing (and non-zero) when there is no such key.
registry_default() { # key
    timeout 60 "$winerun" reg query "HKCU\\Software\\Classes\\$1" /ve </dev/null 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *(Default) *REG_SZ *//p' | grep .
}

# Whether a key, or a value of it, is there.
registry_has() { # key [value]
    timeout 60 "$winerun" reg query "HKCU\\Software\\Classes${1:+\\$1}" ${2:+/v "$2"} </dev/null >/dev/null 2>&1
}

registry_add() { # key [reg add's words...]
    key=$1
    shift
    timeout 60 "$winerun" reg add "HKCU\\Software\\Classes\\$key" "$@" /f </dev/null >/dev/null 2>&1 ||
        die "reg add $key $* failed"
}

registry_delete() { # key [reg delete's words...]
    key=$1
    shift
    timeout 60 "$winerun" reg delete "HKCU\\Software\\Classes\\$key" "$@" /f </dev/null >/dev/null 2>&1
}

# Everything under HKCU\Software\Classes, keys, values, types and data, as
# reg lists it.
registry_snapshot() { # file
    : >"$1"
    registry_has '' || return
    timeout 60 "$winerun" reg query 'HKCU\Software\Classes' /s </dev/null >"$1.raw" 2>/dev/null ||
        die "reg query cannot list HKCU\\Software\\Classes"
    tr -d '\r' <"$1.raw" | sed '/^$/d' >"$1"
}

expect_snapshot() { # step expected-file
    registry_snapshot "$work/registry.actual"
    diff "$2" "$work/registry.actual" >"$work/registry.diff" ||
        fail "$1: the registry is not as it should be (- expected, + found):
$(cat "$work/registry.diff")"
}

# A script as a user starts it. From a Command Prompt: called by a batch file
# (cmd's command line is then the batch file's). By a double click: Explorer's
# command line for a batch file, cmd /c ""<script>" ", which a batch file
# gives cmd exactly (Wine's loader would quote the quotes of one word).
run_script() { # script prompt|click
    case $2 in
        prompt) printf '@echo off\r\ncall "%s\\%s"\r\nexit /b %%errorlevel%%\r\n' "$scripts" "$1" >"$work/run.cmd" ;;
        click) printf '@echo off\r\ncmd /c ""%s\\%s" "\r\nexit /b %%errorlevel%%\r\n' "$scripts" "$1" >"$work/run.cmd" ;;
    esac
    timeout 120 "$winerun" cmd /c "$work_windows\\run.cmd" </dev/null >"$work/$1.out" 2>&1 ||
        fail "$1 ($2) failed: $(tr -d '\r' <"$work/$1.out")"
}

expect_default() { # step key value
    found=$(registry_default "$2")
    [ "$found" = "$3" ] || fail "$1: the default of $2 is '$found', not '$3'"
}

# What associate.cmd must have made: Lumbrel's type, opening the viewer
# beside the script, as .pic's default and under Open with.
expect_associated() { # step
    expect_default "$1" .pic Lumbrel.PicFile
    expect_default "$1" Lumbrel.PicFile\\shell\\open\\command "\"$viewer\" \"%1\""
    expect_default "$1" Lumbrel.PicFile\\DefaultIcon "\"$viewer\",0"
    registry_has .pic\\OpenWithProgids Lumbrel.PicFile || fail "$1: Lumbrel is not listed under Open with"
}

# What other programs left under .pic: nothing else under Classes but the
# steps, each a key and reg add's words, joined by commas.
set_up() { # steps
    registry_delete .pic
    registry_delete Lumbrel.PicFile
    for step in $1; do
        # shellcheck disable=SC2046  # the words, split at the commas
        registry_add $(echo "$step" | tr ',' ' ')
    done
}

# The association scripts from a folder whose name has blanks and
# parentheses, as a second download under Program Files (x86) has it, in a
# Wine prefix of their own. Each case sets up what other programs left under
# .pic, associates (from a prompt or by a double click, once or twice), lets
# another program add its entry, and undoes: the registry must then be as it
# was before, plus that entry, which must be kept; the expected state is made
# by adding the entry to the state before, without the scripts.
check_associate() {
    export WINEPREFIX="$prefix-associate" WINEDEBUG=-all
    # Wine's cmd and reg exist for both architectures: the one this machine runs.
    case $("$winerun" --choose) in
        win32) CANTREL_WINE_ARCH=win32 ;;
        *) CANTREL_WINE_ARCH=win64 ;;
    esac
    export CANTREL_WINE_ARCH
    trap 'timeout 20 "$winerun" wineserver -k 2>/dev/null' EXIT
    rm -rf "$WINEPREFIX"
    folder="$work/Program Files (x86)/Cantrel-1.0-win32 (1)"
    mkdir -p "$folder"
    cp "$unpacked/Lumbrel.exe" "$unpacked/associate.cmd" "$unpacked/unassociate.cmd" "$folder/"
    # The first start makes the prefix, which takes longer than any step below may.
    timeout 600 "$winerun" wineboot </dev/null >"$work/wineboot.out" 2>&1 ||
        die "Wine's prefix cannot be made: $(tail -n 5 "$work/wineboot.out")"
    scripts=$(timeout 60 "$winerun" winepath -w "$folder" 2>/dev/null)
    work_windows=$(timeout 60 "$winerun" winepath -w "$work" 2>/dev/null)
    [ -n "$scripts" ] && [ -n "$work_windows" ] || die "no Windows name for $folder"
    viewer="$scripts\\Lumbrel.exe"

    # case | what other programs left before | how associate.cmd runs |
    # the entry another program adds in between (reg add's words, key first)
    while IFS='|' read -r name before runs entry; do
        set_up "$before"
        # shellcheck disable=SC2086  # key and words
        registry_add $entry
        registry_snapshot "$work/registry.expected"
        set_up "$before"

        for how in $runs; do
            run_script associate.cmd "$how"
            grep -qF ".pic pictures now open with $viewer" "$work/associate.cmd.out" ||
                fail "$name: associate.cmd ($how) does not say it worked: $(tr -d '\r' <"$work/associate.cmd.out")"
        done
        expect_associated "$name"
        # shellcheck disable=SC2086
        registry_add $entry
        run_script unassociate.cmd prompt
        expect_snapshot "$name, undone" "$work/registry.expected"
    done <<'CASES'
nothing before||prompt|.pic\OpenWithList\Other.exe
nothing before, by a double click||click|.pic\OpenWithProgids /v Other.Picture /t REG_NONE
another program's association|.pic,/ve,/d,Other.Picture .pic,/v,Content,/d,image/x-pic .pic\OpenWithProgids,/v,Other.Picture,/t,REG_NONE|prompt prompt|.pic\OpenWithProgids /v Third.Picture /t REG_NONE
an empty list of programs|.pic\OpenWithProgids|click prompt|.pic\OpenWithList\Other.exe
CASES

    # Taken over by another program since: that program keeps .pic, and
    # Lumbrel goes from the list and the types.
    registry_delete .pic
    run_script associate.cmd prompt
    registry_add .pic /ve /d Third.Picture
    run_script unassociate.cmd prompt
    expect_default "unassociate.cmd after a take-over" .pic Third.Picture
    ! registry_has .pic\\OpenWithProgids Lumbrel.PicFile || fail "unassociate.cmd leaves Lumbrel under Open with"
    ! registry_has Lumbrel.PicFile || fail "unassociate.cmd leaves Lumbrel's file type behind"

    # Without the viewer beside it, associate.cmd says so and changes nothing.
    registry_snapshot "$work/registry.before"
    rm "$folder/Lumbrel.exe"
    printf '@echo off\r\ncall "%s\\associate.cmd"\r\nexit /b %%errorlevel%%\r\n' "$scripts" >"$work/run.cmd"
    timeout 120 "$winerun" cmd /c "$work_windows\\run.cmd" </dev/null >"$work/no-viewer.out" 2>&1 &&
        fail "associate.cmd succeeds without Lumbrel.exe"
    grep -q 'no Lumbrel.exe beside it, in .*Cantrel-1.0-win32 (1)' "$work/no-viewer.out" ||
        fail "associate.cmd does not say Lumbrel.exe is missing: $(tr -d '\r' <"$work/no-viewer.out")"
    expect_snapshot "associate.cmd without Lumbrel.exe" "$work/registry.before"
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
        die "Cantrel.exe does not start under Wine: $(tail -n 5 "$work/first-start.out")"
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

# The README's Windows examples. Each ```bat block is a Command Prompt
# session: lines "C:\folder>command", each followed by what the command
# prints ([banner] standing for the banner's eight lines) and by the empty
# line the prompt prints before its next prompt. A block runs as one batch
# file, each command in its prompt's folder; what the batch prints must be
# what the block shows, less the prompts and the prompt's own line end before
# each of them. Wine's drive C: holds the folders the prompts name, with the
# samples the commands name in them, and C:\Fenwolds\Cantrel, where the
# README unpacks the ZIP, is the unpacked ZIP.
split_examples() { # README folder
    awk -v out="$2" -v banner="$source/tests/e2e/common/banner.expected" '
        function fail(text) { printf "README.md:%d: %s\n", FNR, text >"/dev/stderr"; failed = 1; exit 1 }
        # What the last command printed; before a further prompt without the
        # prompt'"'"'s own line end.
        function flush(at_end,    i) {
            if (!have)
                return
            if (count == 0 && !at_end)
                fail("a prompt follows a prompt without the empty line between them")
            for (i = 1; i <= count; i++)
                if (i < count || at_end)
                    print lines[i] >expected
                else
                    printf "%s", lines[i] >expected
            have = 0
        }
        BEGIN {
            ORS = "\r\n"
            while ((getline line <banner) > 0) {
                sub(/\\r\\n$/, "", line)
                banner_lines[++banner_count] = line
            }
        }
        /^```bat[ \t]*$/ {
            blocks++
            script = out "/" blocks ".cmd"
            expected = out "/" blocks ".expected"
            print "@echo off" >script
            printf "" >expected
            inside = 1
            have = 0
            next
        }
        inside && /^```[ \t]*$/ { flush(1); inside = 0; close(script); close(expected); next }
        inside && /^[A-Za-z]:\\[^>]*>/ {
            flush(0)
            at = index($0, ">")
            print substr($0, 1, at - 1) >(out "/" blocks ".folders")
            print "cd /d \"" substr($0, 1, at - 1) "\"" >script
            print substr($0, at + 1) >script
            have = 1
            count = 0
            next
        }
        inside && !have { fail("a bat block starts with other than a prompt") }
        inside && $0 == "[banner]" { for (i = 1; i <= banner_count; i++) lines[++count] = banner_lines[i]; next }
        inside { lines[++count] = $0 }
        END {
            if (failed)
                exit 1
            if (blocks == 0)
                fail("no bat blocks of Windows examples")
            print blocks
        }' "$1"
}

check_examples() {
    drive="$WINEPREFIX/drive_c"
    mkdir -p "$work/examples"
    blocks=$(split_examples "$source/README.md" "$work/examples") || die "the README's Windows examples cannot be read"
    rm -rf "$drive/Fenwolds"
    mkdir -p "$drive/Fenwolds"
    ln -s "$unpacked" "$drive/Fenwolds/Cantrel"
    block=1
    while [ "$block" -le "$blocks" ]; do
        # The folders of the prompts, fresh, with the samples the commands name.
        tr -d '\r' <"$work/examples/$block.folders" | sort -u | while read -r folder; do
            [ "$folder" = 'C:\Fenwolds\Cantrel' ] && continue
            unix="$drive/$(printf '%s\n' "${folder#?:\\}" | tr '\\' /)"
            rm -rf "$unix"
            mkdir -p "$unix"
            for sample in "$unpacked"/samples/*; do
                grep -qF "$(basename "$sample")" "$work/examples/$block.cmd" && cp "$sample" "$unix/"
            done
        done
        cp "$work/examples/$block.cmd" "$drive/Fenwolds/example-$block.cmd"
        # cmd's status is its last command's, which an example of a failure
        # sets on purpose; only a run cut short or not started counts.
        (cd "$drive/Fenwolds" && timeout "$timeout_seconds" "$winerun" cmd /c 'C:\Fenwolds\example-'"$block"'.cmd' \
            </dev/null >"$work/examples/$block.actual" 2>"$work/examples/$block.err")
        status=$?
        [ "$status" -lt 124 ] ||
            fail "the README's Windows examples, block $block: exit status $status $(cat "$work/examples/$block.err")"
        cmp -s "$work/examples/$block.expected" "$work/examples/$block.actual" ||
            fail "the README's Windows examples, block $block, print otherwise (- README, + Wine, CR shown as ^M):
$(diff "$work/examples/$block.expected" "$work/examples/$block.actual" | cat -v)"
        block=$((block + 1))
    done
}

check_lumbrel() {
    x_start "$work" || die "no X server could be started: $(cat "$work/xvfb.log")"

    # Lumbrel.exe on the sample: its window, titled with the file's name, shows
    # a picture of many colours; File/Exit ends the program.
    mkdir -p "$work/viewer"
    cp "$unpacked/samples/valley.pic" "$work/viewer/"
    (cd "$work/viewer" && exec "$winerun" "$unpacked/Lumbrel.exe" valley.pic >viewer.log 2>&1) &
    viewer_pid=$!
    window=$(x_window valley.pic "$timeout_seconds")
    [ -n "$window" ] || die "Lumbrel.exe shows no window titled valley.pic within $timeout_seconds seconds"
    # The picture is painted after the window appears: look again until it shows.
    colors=0
    start=$(date +%s)
    while [ $(($(date +%s) - start)) -lt "$timeout_seconds" ]; do
        timeout 20 import -window "$window" "$work/viewer.png" 2>/dev/null &&
            colors=$(timeout 20 "$identify" -format %k "$work/viewer.png" 2>/dev/null)
        [ "${colors:-0}" -ge 64 ] && break
        sleep 0.5
    done
    [ "${colors:-0}" -ge 64 ] || fail "Lumbrel.exe's window shows ${colors:-no} colours, not the sample picture"
    timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null
    timeout 10 xdotool key --delay 50 alt+f x || fail "xdotool could not press File/Exit"
    start=$(date +%s)
    while kill -0 "$viewer_pid" 2>/dev/null; do
        [ $(($(date +%s) - start)) -lt "$timeout_seconds" ] || die "File/Exit does not end Lumbrel.exe"
        sleep 0.1
    done
    wait "$viewer_pid"
    viewer_pid=""
}

case $part in
    contents) check_contents ;;
    texts) check_texts ;;
    headers) check_headers ;;
    resources) check_resources ;;
    notices) check_notices ;;
    associate) check_associate ;;
    cantrel) skip_unless_runnable; start_wine; check_cantrel ;;
    examples) skip_unless_runnable; start_wine; check_examples ;;
    lumbrel) skip_unless_runnable; start_wine; check_lumbrel ;;
    *) die "no part $part of the ZIP's test" ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "packaging.zip.$part passed"
