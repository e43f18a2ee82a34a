#!/bin/sh
# The Debian package as a user gets it: its control fields, every file it
# holds with its mode, its documents (its own README and the modding guide)
# and their links, its changelog and machine-readable copyright, what lintian
# says of it (no error and no warning but those overridden with a reason, no
# hardening or copyright tag), the program taking only the C library from the
# system, and the program installed from it into a scratch root converting
# every sample both ways to exactly the sample files that come with it, and
# running its README's script example.
#
#   CheckDeb.sh <package.deb> <built cantrel> <version> <source folder> <work folder> [other packages...]
#
# The other packages made beside it (the desktop parts) count only where the
# README names installed paths: each must be in one of the packages.
set -u
deb=$1 built=$2 version=$3 source=$4 work=$5
shift 5

. "$source/tests/common/Failures.sh"
. "$source/tests/packaging/DebChecks.sh"

[ -f "$deb" ] || die "no package $deb: make it with cmake --workflow --preset package-deb (or cpack --preset deb)"
[ "$deb" -nt "$built" ] || die "$deb is older than $built: make it again with cpack --preset deb"
rm -rf "$work"
mkdir -p "$work/root" "$work/runs"

# Control fields.
field() {
    dpkg-deb --field "$deb" "$1"
}
[ "$(field Package)" = cantrel ] || fail "Package is '$(field Package)', not cantrel"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "Architecture is '$(field Architecture)', not this machine's $(dpkg --print-architecture)"
[ "$(field Version)" = "$version-1" ] || fail "Version is '$(field Version)', not $version-1"
case "$(field Maintainer)" in
*"<"*"@example.org>") ;;
*) fail "Maintainer '$(field Maintainer)' has no address of the project" ;;
esac
[ -n "$(field Description)" ] || fail "no Description"
[ "$(field Suggests)" = "gimp-fenwolds-pic, fenwolds-pic-pixbuf-loader" ] ||
    fail "Suggests is '$(field Suggests)', not the two desktop packages"
# The C library from the system; the C++ runtime is carried.
case "$(field Depends)" in
"libc6 (>= "*")") ;;
*) fail "Depends is '$(field Depends)', not the C library alone" ;;
esac

# Every file with its mode and owner, directories left out.
{
    echo "-rwxr-xr-x root/root ./usr/bin/cantrel"
    for name in README.md changelog.Debian.gz copyright modding.md pic-format.md; do
        echo "-rw-r--r-- root/root ./usr/share/doc/cantrel/$name"
    done
    echo "-rw-r--r-- root/root ./usr/share/lintian/overrides/cantrel"
    # Data the examples work on, not documentation: share/doc may be left out.
    for sample in "$source"/samples/*; do
        echo "-rw-r--r-- root/root ./usr/share/cantrel/samples/$(basename "$sample")"
    done
    echo "-rw-r--r-- root/root ./usr/share/man/man1/cantrel.1.gz"
} | sort >"$work/contents.expected"
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort >"$work/contents.actual"
diff "$work/contents.expected" "$work/contents.actual" >"$work/contents.diff" ||
    fail "the package's files differ from the list (- expected, + found):
$(cat "$work/contents.diff")"

# Installed into a scratch root, the documents are the project's own.
dpkg -x "$deb" "$work/root" || die "dpkg -x failed"
doc="$work/root/usr/share/doc/cantrel"
# Files that differ from the sources mean a package made before they changed.
older=" (an older package? make it again with cpack --preset deb)"
samples="$work/root/usr/share/cantrel/samples"
# The README is the package's own, for its users; the project's is the developers'.
cmp -s "$doc/README.md" "$source/packaging/debian/cantrel.README.md" ||
    fail "README.md is not packaging/debian/cantrel.README.md$older"
cmp -s "$doc/pic-format.md" "$source/docs/pic-format.md" || fail "pic-format.md is not the project's$older"
cmp -s "$doc/modding.md" "$source/docs/modding.md" || fail "modding.md is not the project's modding guide$older"
check_links "$work/root" usr/share/doc/cantrel/README.md usr/share/doc/cantrel/modding.md \
    usr/share/doc/cantrel/pic-format.md
check_copyright "$work/root" cantrel "$source"
grep -q 'libstdc++' "$doc/copyright" || fail "the copyright does not name the C++ runtime the program carries"
page="$work/root/usr/share/man/man1/cantrel.1.gz"
gzip -dc "$page" | cmp -s - "$source/docs/cantrel.1" || fail "cantrel.1.gz does not hold docs/cantrel.1$older"
changelog="$doc/changelog.Debian.gz"
gzip -dc "$changelog" | cmp -s - "$source/packaging/debian/cantrel.changelog" ||
    fail "changelog.Debian.gz does not hold packaging/debian/cantrel.changelog$older"
# Its latest entry is this version's.
[ "$(gzip -dc "$changelog" | dpkg-parsechangelog -l - -S Version 2>&1)" = "$(field Version)" ] ||
    fail "the changelog's latest entry is version $(gzip -dc "$changelog" | dpkg-parsechangelog -l - -S Version 2>&1), not $(field Version)"
cmp -s "$work/root/usr/share/lintian/overrides/cantrel" "$source/packaging/debian/cantrel.lintian-overrides" ||
    fail "the lintian overrides are not packaging/debian/cantrel.lintian-overrides$older"
MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$work/man.warnings" || fail "man -l $page failed"
[ -s "$work/man.warnings" ] && fail "man -l $page warns: $(cat "$work/man.warnings")"

# Every installed path the READMEs name is in one of the packages: the
# project's README and those the packages install.
mkdir -p "$work/others"
for other in "$@"; do
    dpkg-deb -x "$other" "$work/others" || fail "dpkg-deb -x $other failed"
done
for readme in "$source/README.md" "$work"/root/usr/share/doc/*/README.md "$work"/others/usr/share/doc/*/README.md; do
    [ -f "$readme" ] || continue
    grep -oE '/usr/[A-Za-z0-9/._-]*[A-Za-z0-9_]' "$readme" | sort -u >"$work/readme.paths"
    [ -s "$work/readme.paths" ] || fail "$readme names no installed path"
    while read -r path; do
        [ -e "$work/root$path" ] || [ -e "$work/others$path" ] ||
            fail "$readme names $path, which no package installs"
    done <"$work/readme.paths"
done

# The program takes nothing but the C library (and its dynamic loader, which
# the C++ runtime's thread-local storage calls) from the system.
needed=$(readelf -d "$work/root/usr/bin/cantrel" 2>&1 | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
case " $needed" in
*" libc.so.6 "*) ;;
*) fail "cantrel does not take the C library from the system (it needs '$needed')" ;;
esac
others=$(echo "$needed" | tr ' ' '\n' | grep -Evx 'libc\.so\.6|ld-linux[-a-z0-9_.]*\.so\.[0-9]+|')
[ -z "$others" ] || fail "cantrel needs the shared libraries '$others' besides the C library"

# lintian, every tag shown for the log, the overridden ones with their
# reasons: an error or a warning (E: or W:) that no override answers fails.
# Its status is 2 when it shows an overridden tag, and 1 when it cannot check.
timeout 240 lintian --display-info --pedantic --show-overrides "$deb" >"$work/lintian.out" 2>&1
status=$?
sed 's/^/    lintian: /' "$work/lintian.out"
[ "$status" -eq 0 ] || [ "$status" -eq 2 ] || fail "lintian cannot check the package (status $status)"
check_lintian "$work/lintian.out" "the package"

# The installed program converts every sample to its twin: a PIC file to
# the BMP file beside it, and the BMP file back to the PIC file (without a
# palette chunk, -d, when the PIC file has none). Each run in a folder of
# its own that starts with the one input.
program="$work/root/usr/bin/cantrel"
convert_case() { # input output reference [flag]
    folder="$work/runs/$1-to-$2"
    mkdir -p "$folder"
    cp "$samples/$1" "$folder/$1"
    (cd "$folder" && timeout 60 "$program" ${4:-} "$1" "$2" </dev/null >stdout) || fail "cantrel $1 $2: exit status $?"
    tail -n 1 "$folder/stdout" | grep -q '^Successful Conversion.$' ||
        fail "cantrel ${4:-} $1 $2 did not succeed: $(tail -n 3 "$folder/stdout")"
    cmp -s "$folder/$2" "$3" || fail "cantrel ${4:-} $1 $2 wrote other bytes than $3"
}
count=0
for pic in "$samples"/*.pic; do
    name=$(basename "$pic" .pic)
    convert_case "$name.pic" "$name.bmp" "$samples/$name.bmp"
    if [ "$(head -c 2 "$pic")" = M0 ]; then # the palette chunk's tag
        convert_case "$name.bmp" "$name.pic" "$pic"
    else
        convert_case "$name.bmp" "$name.pic" "$pic" -d
    fi
    count=$((count + 1))
done
[ "$count" -ge 3 ] || fail "only $count sample pictures in the package"

# The README's script, which tells success by the last line, run with the
# installed program on a sample: it says "converted".
mkdir -p "$work/runs/script"
cp "$samples/valley.pic" "$work/runs/script/"
awk '/^## In scripts/ { section = 1 } section && /^```sh$/ { inside = 1; next } inside && /^```$/ { exit }
     inside' "$doc/README.md" >"$work/runs/script/example.sh"
[ -s "$work/runs/script/example.sh" ] || fail "the README shows no script under \"In scripts\""
out=$(cd "$work/runs/script" && PATH="$work/root/usr/bin:$PATH" timeout 60 sh ./example.sh 2>&1)
[ "$out" = converted ] || fail "the README's script says '$out', not 'converted'"

[ "$failures" -eq 0 ] || exit 1
echo "the Debian package holds what it should, and its cantrel converts all $count samples both ways"
