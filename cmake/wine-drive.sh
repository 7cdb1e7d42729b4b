# Sourced by the scripts that drive the program's windows (twdrive at $twdrive):
# drive COMMAND ARGS... prints twdrive's answer without CRs and returns its exit code.
# The answer goes through a file, not a pipe: a Wine process that a call starts (the
# desktop) inherits its output and would hold a pipe open for good. Each call ends a
# minute after its own --timeout (two minutes without one).
drive() {
    local limit=120 previous= status=0 out
    out=$(mktemp) # one file per call: calls may overlap, as in a loop over one's answer
    for a in "$@"; do
        [ "$previous" != --timeout ] || limit=$((a / 1000 + 60))
        previous=$a
    done
    timeout "$limit" wine "$twdrive" "$@" </dev/null >"$out" 2>&1 || status=$?
    tr -d '\r' <"$out"
    rm -f "$out"
    return $status
}
