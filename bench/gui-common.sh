# What the benchmarks that drive the real window share; sourced with src, twdrive and app
# (the program folder, C:\TracewipeBench in the prefix) set.
. "$src/cmake/wine-drive.sh"
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
