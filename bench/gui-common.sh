# What the benchmarks that drive the real window share; sourced with src, bench, twdrive and app
# (the program folder, C:\TracewipeBench in the prefix) set.
# The answer goes through a file, not a pipe: a Wine process that a call starts (the desktop)
# inherits its output and would hold a pipe open for good. Each call ends a minute after its
# own --timeout (two minutes without one).
drive_out="$bench/drive.out"
drive() {
    local limit=120 previous= status=0
    for a in "$@"; do
        [ "$previous" != --timeout ] || limit=$((a / 1000 + 60))
        previous=$a
    done
    timeout "$limit" wine "$twdrive" "$@" </dev/null >"$drive_out" 2>&1 || status=$?
    tr -d '\r' <"$drive_out"
    return $status
}
lang() { sed -n "s/^$1=//p" "$src/data/lang/English.txt" | tr -d '\r'; }
main=(--title-prefix Tracewipe --class TwForm)

# Starts Tracewipe from its bench folder and waits until its main window answers; it is
# ended when the script ends.
start_tracewipe() {
    (cd "$app" && exec wine 'C:\TracewipeBench\Tracewipe.exe' </dev/null >/dev/null 2>&1) &
    app_pid=$!
    trap 'kill "$app_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 1 60); do
        drive text "${main[@]}" --control cboConfigs --timeout 1000 >/dev/null && break
        sleep 0.5
    done
}
