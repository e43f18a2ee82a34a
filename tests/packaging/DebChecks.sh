# What the checks of the Debian packages share (after tests/common/Failures.sh):
#   check_links <root> <document...>   every link of each installed Markdown
#       document (a path below root) leads to a file or folder that is there
#       in root: relative links from the document's folder, absolute ones from
#       root. Web addresses and links within a document are not followed;
#       the documents hold at least one link among them.
#   check_copyright <root> <package> <source folder>   the package's copyright
#       is in Debian's machine-readable format, naming the project's licence
#       with LICENSE's text.
#   check_lintian <output> <what>   lintian's output (run with -I) has no
#       error, no warning, no hardening tag and no tag about the copyright
#       that no override answers.

check_links() {
    links_root=$1
    shift
    count=0
    for document in "$@"; do
        [ -f "$links_root/$document" ] || { fail "$document is not installed"; continue; }
        folder=$(dirname "$document")
        # Markdown's inline links, [text](target), one a line.
        for target in $(grep -oE '\]\([^) ]+\)' "$links_root/$document" | sed 's/^](//; s/)$//; s/#.*//'); do
            case $target in
            http://* | https://* | mailto:* | "") continue ;;
            /*) path=$links_root$target ;;
            *) path=$links_root/$folder/$target ;;
            esac
            count=$((count + 1))
            [ -e "$path" ] || fail "$document links to $target, which is not there once installed"
        done
    done
    [ "$count" -gt 0 ] || fail "$* link to no installed file at all"
}

check_copyright() {
    copyright=$1/usr/share/doc/$2/copyright
    [ -f "$copyright" ] || { fail "$2 has no copyright"; return; }
    [ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
        fail "$2: the copyright is not in Debian's machine-readable format (its first line: $(head -n 1 "$copyright"))"
    # The project's licence: LICENSE after its copyright line, as the body of
    sed '1,/^Copyright/d' "$3/LICENSE" | sed '/./,$!d' >"$work/licence.expected"
    # the paragraph "License: Expat" of its own (one that starts with it).
    awk 'previous == "" && /^License: Expat$/ { inside = 1; next } inside && !/^ / { exit }
         inside { print } { previous = $0 }' "$copyright" |
        sed 's/^ //; s/^\.$//' >"$work/licence.found"
    cmp -s "$work/licence.expected" "$work/licence.found" ||
        fail "$2: the copyright's Expat paragraph is not the text of LICENSE"
    grep -q '^Files: \*$' "$copyright" || fail "$2: the copyright has no paragraph for all its files"
}

check_lintian() {
    grep -Eq '^(E|W): ' "$1" && fail "lintian finds errors or warnings in $2"
    found=$(grep -E '^[EWIPX]: [^ ]+ (hardening-[^ ]*|[^ ]*copyright[^ ]*|[^ ]*dep5[^ ]*)( |$)' "$1")
    [ -z "$found" ] && return
    fail "lintian -I finds hardening or copyright tags in $2: $found"
}
