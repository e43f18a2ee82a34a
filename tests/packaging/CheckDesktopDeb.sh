#!/bin/sh
# The two desktop packages as a user gets them: their control fields (the
# loader Multi-Arch same, each suggesting the other packages), every file
# with its mode, their READMEs and those READMEs' links, their changelogs and
# machine-readable copyrights and what lintian says of them, that the files
# lie where the dpkg triggers of gdk-pixbuf and shared-mime-info watch (the
# packages have no scripts of their own), and
# then the parts unpacked with dpkg -x and used from there: the loader through
# gdk-pixbuf with a loaders cache and mime database made here, the plug-in
# in GIMP with a scratch HOME. Nothing is installed on this machine.
#
#   CheckDesktopDeb.sh <gimp package> <pixbuf package> <built cantrel> <version> <python3> <source folder> <work folder>
set -u
gimp_deb=$1 pixbuf_deb=$2 converter=$3 version=$4 python=$5 source=$6 work=$7

. "$source/tests/common/Failures.sh"
. "$source/tests/packaging/DebChecks.sh"

for deb in "$gimp_deb" "$pixbuf_deb"; do
    [ -f "$deb" ] || die "no package $deb: make it with cmake --workflow --preset package-deb (or cpack --preset deb)"
done
rm -rf "$work"
mkdir -p "$work/root"
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
loaders=usr/lib/$multiarch/gdk-pixbuf-2.0/2.10.0/loaders

check_fields() { # package.deb name depends-pattern...
    deb=$1 name=$2
    shift 2
    [ "$(dpkg-deb --field "$deb" Package)" = "$name" ] || fail "$deb: Package is not $name"
    [ "$(dpkg-deb --field "$deb" Architecture)" = "$arch" ] || fail "$name: Architecture is not $arch"
    [ "$(dpkg-deb --field "$deb" Version)" = "$version-1" ] || fail "$name: Version is not $version-1"
    case "$(dpkg-deb --field "$deb" Maintainer)" in
    *"<"*"@example.org>") ;;
    *) fail "$name: Maintainer has no address of the project" ;;
    esac
    [ "$(dpkg-deb --field "$deb" Description | head -n 1)" != "" ] || fail "$name: no summary"
    depends=$(dpkg-deb --field "$deb" Depends)
    for pattern in "$@"; do
        echo "$depends" | grep -Eq "(^|, )$pattern" || fail "$name: Depends ($depends) lacks $pattern"
    done
    # The triggers do the work; a script would be a second way to do it.
    dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -Eq 'postinst|postrm|preinst|prerm|triggers' &&
        fail "$name: has maintainer scripts or triggers of its own"
}
check_fields "$gimp_deb" gimp-fenwolds-pic "gimp " "libgimp2.0 " "libgegl-0.4-0 "
check_fields "$pixbuf_deb" fenwolds-pic-pixbuf-loader "shared-mime-info" "libgdk-pixbuf-2.0-0 "
# How the packages point at each other and at what they add to, one field a
# line: package, field, value (dpkg-deb gives Multi-Arch as "no" when the
# package has none).
while read -r deb field value; do
    found=$(dpkg-deb --field "$deb" "$field")
    [ "$found" = "$value" ] || fail "$(basename "$deb"): $field is '$found', not '$value'"
done <<FIELDS
$gimp_deb Suggests cantrel, fenwolds-pic-pixbuf-loader
$gimp_deb Enhances gimp
$gimp_deb Multi-Arch no
$pixbuf_deb Suggests cantrel, gimp-fenwolds-pic
$pixbuf_deb Multi-Arch same
FIELDS

check_contents() { # package.deb expected-list
    dpkg-deb --contents "$1" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort >"$work/contents.actual"
    sort "$2" | diff - "$work/contents.actual" >"$work/contents.diff" ||
        fail "$1: the files differ from the list (- expected, + found):
$(cat "$work/contents.diff")"
}
cat >"$work/gimp.expected" <<LIST
-rwxr-xr-x root/root ./usr/lib/gimp/2.0/plug-ins/file-fenwolds-pic/file-fenwolds-pic
-rw-r--r-- root/root ./usr/share/gimp/2.0/palettes/Fenwolds.gpl
-rw-r--r-- root/root ./usr/share/doc/gimp-fenwolds-pic/README.md
-rw-r--r-- root/root ./usr/share/doc/gimp-fenwolds-pic/copyright
-rw-r--r-- root/root ./usr/share/doc/gimp-fenwolds-pic/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/lintian/overrides/gimp-fenwolds-pic
LIST
check_contents "$gimp_deb" "$work/gimp.expected"
cat >"$work/pixbuf.expected" <<LIST
-rw-r--r-- root/root ./$loaders/libpixbufloader-fenwolds-pic.so
-rw-r--r-- root/root ./usr/share/mime/packages/fenwolds-pic.xml
-rw-r--r-- root/root ./usr/share/thumbnailers/fenwolds-pic.thumbnailer
-rw-r--r-- root/root ./usr/share/doc/fenwolds-pic-pixbuf-loader/README.md
-rw-r--r-- root/root ./usr/share/doc/fenwolds-pic-pixbuf-loader/copyright
-rw-r--r-- root/root ./usr/share/doc/fenwolds-pic-pixbuf-loader/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/lintian/overrides/fenwolds-pic-pixbuf-loader
LIST
check_contents "$pixbuf_deb" "$work/pixbuf.expected"

# The folders the installed packages' triggers watch, as those packages declare them.
interest() { # package folder
    cat /var/lib/dpkg/info/"$1".triggers /var/lib/dpkg/info/"$1":"$arch".triggers 2>/dev/null |
        grep -Eq "^interest(-noawait)? /$2\$" || fail "$1 declares no trigger on /$2, which the package relies on"
}
interest libgdk-pixbuf-2.0-0 "$loaders"
interest shared-mime-info usr/share/mime/packages

dpkg -x "$gimp_deb" "$work/root" || die "dpkg -x $gimp_deb failed"
dpkg -x "$pixbuf_deb" "$work/root" || die "dpkg -x $pixbuf_deb failed"
root=$work/root

# Each package's changelog and lintian overrides are the project's, its latest
# entry this version; lintian finds no error and no warning that no override
# answers (its status is 2 when it shows an overridden tag).
# Each package's README is its own, for its users, and its links resolve in
# the package; its copyright is machine-readable.
for package in gimp-fenwolds-pic fenwolds-pic-pixbuf-loader; do
    cmp -s "$root/usr/share/doc/$package/README.md" "$source/packaging/debian/$package.README.md" ||
        fail "$package: README.md is not packaging/debian/$package.README.md"
    check_links "$root" "usr/share/doc/$package/README.md"
    check_copyright "$root" "$package" "$source"
done
# What a user needs to hear: GIMP must be restarted, and how to see that
# the plug-in and the thumbnails work.
grep -q 'Restart GIMP' "$root/usr/share/doc/gimp-fenwolds-pic/README.md" ||
    fail "gimp-fenwolds-pic: the README does not say to restart GIMP"
grep -q 'Procedure Browser' "$root/usr/share/doc/gimp-fenwolds-pic/README.md" ||
    fail "gimp-fenwolds-pic: the README does not say how to check the plug-in"
grep -q 'gdk-pixbuf-thumbnailer' "$root/usr/share/doc/fenwolds-pic-pixbuf-loader/README.md" ||
    fail "fenwolds-pic-pixbuf-loader: the README does not say how to check the thumbnails"
# A Multi-Arch: same package shares its files outside the architecture's
# folder with its twins of other architectures: none may name one.
found=$(dpkg-deb --fsys-tarfile "$pixbuf_deb" | tar -x -O --wildcards './usr/share/*' | grep -a "$multiarch" | head -n 3)
[ -z "$found" ] || fail "fenwolds-pic-pixbuf-loader: files shared between architectures name $multiarch: $found"

for package in gimp-fenwolds-pic fenwolds-pic-pixbuf-loader; do
    gzip -dc "$root/usr/share/doc/$package/changelog.Debian.gz" | cmp -s - "$source/packaging/debian/$package.changelog" ||
        fail "$package: changelog.Debian.gz does not hold packaging/debian/$package.changelog"
    latest=$(gzip -dc "$root/usr/share/doc/$package/changelog.Debian.gz" | dpkg-parsechangelog -l - -S Version 2>&1)
    [ "$latest" = "$version-1" ] || fail "$package: the changelog's latest entry is version $latest, not $version-1"
    cmp -s "$root/usr/share/lintian/overrides/$package" "$source/packaging/debian/$package.lintian-overrides" ||
        fail "$package: the lintian overrides are not packaging/debian/$package.lintian-overrides"
done
timeout 240 lintian --display-info --pedantic --show-overrides "$gimp_deb" "$pixbuf_deb" >"$work/lintian.out" 2>&1
status=$?
sed 's/^/    lintian: /' "$work/lintian.out"
[ "$status" -eq 0 ] || [ "$status" -eq 2 ] || fail "lintian cannot check the packages (status $status)"
check_lintian "$work/lintian.out" "the desktop packages"

"$python" "$source/tests/desktop/PixbufLoader.py" "$root/$loaders/libpixbufloader-fenwolds-pic.so" \
    "$root/usr/share/mime/packages/fenwolds-pic.xml" "$root/usr/share/thumbnailers/fenwolds-pic.thumbnailer" \
    "$converter" "$source" "$work/pixbuf" || fail "the unpacked loader failed its checks"
"$python" "$source/tests/desktop/GimpBatch.py" "$root/usr/lib/gimp/2.0/plug-ins/file-fenwolds-pic/file-fenwolds-pic" \
    "$root/usr/share/gimp/2.0/palettes/Fenwolds.gpl" "$converter" "$source" "$work/gimp" samples ||
    fail "the unpacked GIMP plug-in failed its checks"

[ "$failures" -eq 0 ] || exit 1
echo "both desktop packages hold what they should, and their parts work unpacked"
