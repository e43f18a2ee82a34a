# What the shell checks share, on standard error (which ctest shows with the
# rest, and which a check whose standard output is judged keeps apart):
#   fail <text>   records a failure and goes on, so that one run lists every
#                 difference; end the check with [ "$failures" -eq 0 ].
#   die <text>    ends the check at once, where going on means nothing, with
#                 status $die_status (1 unless the check sets another).
failures=0
die_status=1
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
die() {
    echo "FAILED: $*" >&2
    exit "$die_status"
}
