#!/bin/sh
# What saving does where permissions say no: a read-only file, a folder that
# takes no new files, a file of mode 0600, a link out of such a folder. These
# need a user whom permissions bind, so as root the checks drop to nobody with
# setpriv, working on a copy of the program and the samples in a scratch
# folder of mode 0755 that nobody can reach; as any other user they run as
# that user.
#
#   UnprivilegedSaves.sh <cantrel> <source folder>
set -u
program=$1 source=$2
. "$source/tests/common/Failures.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/cantrel-unprivileged.XXXXXX") || die "no scratch folder"
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
chmod 0755 "$scratch"
cp "$program" "$scratch/cantrel"
cp "$source/samples/valley.pic" "$source/samples/valley.bmp" "$scratch/"
if [ "$(id -u)" -eq 0 ]; then
    user=nobody
    as_user() { setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups -- "$@"; }
else
    user=$(id -un)
    as_user() { "$@"; }
fi

# A fresh folder for each check, owned by the user, holding what it needs.
folder() { # name
    mkdir "$scratch/$1"
    [ "$user" = "$(id -un)" ] || chown "$user" "$scratch/$1"
    echo "$scratch/$1"
}
give() { # file
    [ "$user" = "$(id -un)" ] || chown "$user" "$1"
}
convert() { # folder words...
    where=$1
    shift
    (cd "$where" && as_user timeout 60 "$scratch/cantrel" "$@" </dev/null >"$scratch/out.txt" 2>&1) ||
        fail "cantrel $* ended with status $?"
}
says() { # text
    grep -qF -- "$1" "$scratch/out.txt" || fail "cantrel did not say: $1
it said: $(tr -d '\r' <"$scratch/out.txt" | tail -n 4)"
}
mode_of() { stat -c %a "$1"; }
same() { # file expected
    cmp -s "$1" "$2" || fail "$1 does not hold $2"
}
names() { # folder
    (cd "$1" && ls -A | tr '\n' ' ')
}

# A read-only file is refused, as a plain open refuses it, and stays as it was.
dir=$(folder read-only)
cp "$scratch/valley.bmp" "$dir/locked.bmp"
cp "$scratch/valley.pic" "$dir/locked.pic"
give "$dir/locked.bmp"
give "$dir/locked.pic"
chmod 0444 "$dir/locked.bmp" "$dir/locked.pic"
convert "$dir" ../valley.bmp locked.pic
says "Unable to save file locked.pic"
says "   Writing the file: Permission denied"
convert "$dir" ../valley.pic locked.bmp
says "Unable to save file locked.bmp"
says "   Decoder error: Opening locked.bmp failed: Permission denied"
same "$dir/locked.pic" "$scratch/valley.pic"
same "$dir/locked.bmp" "$scratch/valley.bmp"
[ "$(mode_of "$dir/locked.pic")" = 444 ] || fail "locked.pic is now of mode $(mode_of "$dir/locked.pic")"
[ "$(names "$dir")" = "locked.bmp locked.pic " ] || fail "read-only: the folder holds $(names "$dir")"

# A folder that takes no new files: a writable file in it is written in
# place; a new file cannot be made there.
dir=$(folder no-new-files)
printf 'an older, longer picture file than the one that replaces it: %0900d' 0 >"$dir/out.bmp"
printf 'an older, longer picture file than the one that replaces it: %0900d' 0 >"$dir/out.pic"
give "$dir/out.bmp"
give "$dir/out.pic"
chmod 0640 "$dir/out.bmp" "$dir/out.pic"
chmod 0555 "$dir"
convert "$dir" ../valley.pic out.bmp
says "Successful Conversion"
convert "$dir" ../valley.bmp out.pic
says "Successful Conversion"
same "$dir/out.bmp" "$scratch/valley.bmp"
same "$dir/out.pic" "$scratch/valley.pic"
[ "$(mode_of "$dir/out.bmp")" = 640 ] || fail "out.bmp is now of mode $(mode_of "$dir/out.bmp")"
convert "$dir" ../valley.pic new.bmp
says "   Decoder error: Opening new.bmp failed: Permission denied"
convert "$dir" ../valley.bmp new.pic
says "   Writing the file: Permission denied"
[ "$(names "$dir")" = "out.bmp out.pic " ] || fail "no new files: the folder holds $(names "$dir")"

# A private file stays private; a link out of a closed folder keeps pointing
# at its file, which gets the picture.
dir=$(folder private)
touch "$dir/mine.bmp"
give "$dir/mine.bmp"
chmod 0600 "$dir/mine.bmp"
ln -s ../private/mine.bmp "$(folder links)/link.bmp"
chmod 0555 "$scratch/links"
convert "$scratch/links" ../valley.pic link.bmp
says "Successful Conversion"
[ -L "$scratch/links/link.bmp" ] || fail "link.bmp is no longer a link"
same "$dir/mine.bmp" "$scratch/valley.bmp"
[ "$(mode_of "$dir/mine.bmp")" = 600 ] || fail "mine.bmp is now of mode $(mode_of "$dir/mine.bmp")"
[ "$(names "$dir")" = "mine.bmp " ] || fail "private: the folder holds $(names "$dir")"

[ "$failures" -eq 0 ] || exit 1
echo "saving as $user: read-only files refused, closed folders written in place, modes and links kept"
