#!/bin/sh
# The Debian package as a user gets it: its control fields, every file it
# holds with its mode, its changelog, what lintian says of it (no error and
# no warning but those overridden with a reason), and the program installed
# from it into a scratch root converting every sample both ways to exactly
# the sample files that come with it.
#
#   CheckDeb.sh <package.deb> <built cantrel> <version> <source folder> <work folder> [other packages...]
#
# The other packages made beside it (the desktop parts) count only where the
# README names installed paths: each must be in one of the packages.
set -u
deb=$1 built=$2 version=$3 source=$4 work=$5
shift 5

. "$source/tests/common/Failures.sh"

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

# Every file with its mode and owner, directories left out.
{
    echo "-rwxr-xr-x root/root ./usr/bin/cantrel"
    for name in README.md changelog.Debian.gz copyright pic-format.md; do
        echo "-rw-r--r-- root/root ./usr/share/doc/cantrel/$name"
    done
    echo "-rw-r--r-- root/root ./usr/share/lintian/overrides/cantrel"
    for sample in "$source"/samples/*; do
        echo "-rw-r--r-- root/root ./usr/share/doc/cantrel/samples/$(basename "$sample")"
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
cmp -s "$doc/copyright" "$source/LICENSE" || fail "copyright is not the project's LICENSE$older"
cmp -s "$doc/README.md" "$source/README.md" || fail "README.md is not the project's$older"
cmp -s "$doc/pic-format.md" "$source/docs/pic-format.md" || fail "pic-format.md is not the project's$older"
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

# Every installed path the README names is in one of the packages.
mkdir -p "$work/others"
for other in "$@"; do
    dpkg-deb -x "$other" "$work/others" || fail "dpkg-deb -x $other failed"
done
grep -oE '/usr/[A-Za-z0-9/._-]*[A-Za-z0-9_]' "$source/README.md" | sort -u >"$work/readme.paths"
[ -s "$work/readme.paths" ] || fail "the README names no installed path"
while read -r path; do
    [ -e "$work/root$path" ] || [ -e "$work/others$path" ] ||
        fail "the README names $path, which no package installs"
done <"$work/readme.paths"

# lintian, every tag shown for the log, the overridden ones with their
# reasons: an error or a warning (E: or W:) that no override answers fails.
# Its status is 2 when it shows an overridden tag, and 1 when it cannot check.
timeout 240 lintian --display-info --pedantic --show-overrides "$deb" >"$work/lintian.out" 2>&1
status=$?
sed 's/^/    lintian: /' "$work/lintian.out"
[ "$status" -eq 0 ] || [ "$status" -eq 2 ] || fail "lintian cannot check the package (status $status)"
grep -Eq '^(E|W): ' "$work/lintian.out" && fail "lintian finds errors or warnings in the package"

# The installed program converts every sample to its twin: a PIC file to
# the BMP file beside it, and the BMP file back to the PIC file (without a
# palette chunk, -d, when the PIC file has none). Each run in a folder of
# its own that starts with the one input.
program="$work/root/usr/bin/cantrel"
convert_case() { # input output reference [flag]
    folder="$work/runs/$1-to-$2"
    mkdir -p "$folder"
    cp "$doc/samples/$1" "$folder/$1"
    (cd "$folder" && timeout 60 "$program" ${4:-} "$1" "$2" </dev/null >stdout) || fail "cantrel $1 $2: exit status $?"
    tail -n 1 "$folder/stdout" | grep -q '^Successful Conversion.$' ||
        fail "cantrel ${4:-} $1 $2 did not succeed: $(tail -n 3 "$folder/stdout")"
    cmp -s "$folder/$2" "$3" || fail "cantrel ${4:-} $1 $2 wrote other bytes than $3"
}
count=0
for pic in "$doc"/samples/*.pic; do
    name=$(basename "$pic" .pic)
    convert_case "$name.pic" "$name.bmp" "$doc/samples/$name.bmp"
    if [ "$(head -c 2 "$pic")" = M0 ]; then # the palette chunk's tag
        convert_case "$name.bmp" "$name.pic" "$pic"
    else
        convert_case "$name.bmp" "$name.pic" "$pic" -d
    fi
    count=$((count + 1))
done
[ "$count" -ge 3 ] || fail "only $count sample pictures in the package"

[ "$failures" -eq 0 ] || exit 1
echo "the Debian package holds what it should, and its cantrel converts all $count samples both ways"
