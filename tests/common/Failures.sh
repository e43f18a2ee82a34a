# What the shell checks share: fail records a failure and goes on, so one run
# lists every difference; stop ends the check where going on means nothing.
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
stop() {
    echo "FAILED: $*"
    exit 1
}
