# What the whole-run benchmarks of this folder share. Each sources it and
# starts with its own name and arguments:
#   . "$(dirname "$0")/WholeRuns.sh"
#   start_whole_runs ProcessBench.sh "$@"
# The arguments are <cantrel> <picture.pic> [scratch parent folder]. After the
# start, cantrel and picture are absolute paths and the current folder is a
# scratch folder of the run's own ($work), removed at the end; its parent is
# /dev/shm where it exists (no disk in the measurement), else $TMPDIR or /tmp.

start_whole_runs() {
    script=$1
    shift
    if [ $# -lt 2 ]; then
        echo "usage: $script <cantrel> <picture.pic> [scratch parent folder]" >&2
        exit 2
    fi
    cantrel=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    picture=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
    if [ $# -ge 3 ]; then
        parent=$3
    elif [ -d /dev/shm ] && [ -w /dev/shm ]; then
        parent=/dev/shm
    else
        parent=${TMPDIR:-/tmp}
    fi
    work=$(mktemp -d "$parent/cantrel-${script%.sh}.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    trap 'exit 1' INT TERM
    cd "$work"
}

# The peers a benchmark runs beside the converter: a missing one ends it.
need_tools() { # script tools...
    script=$1
    shift
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "$script: $tool is missing" >&2; exit 1; }
    done
}

# Nanoseconds since some fixed point.
now() { date +%s%N; }

# Microseconds per run of a command, run $runs times with its output dropped.
per_run() {
    start=$(now)
    i=0
    while [ $i -lt "$runs" ]; do
        "$@" >/dev/null
        i=$((i + 1))
    done
    end=$(now)
    echo $(((end - start) / runs / 1000))
}

# The smaller of the best so far (empty before the first) and a new time.
least() { # best time
    if [ -z "$1" ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi
}
