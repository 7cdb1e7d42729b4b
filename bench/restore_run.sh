#!/usr/bin/env bash
# Times the file restore dialog on a run of many index lines under Wine, through the real
# window: opening it (the first run is listed at once), then Select All and Restore, which
# puts every file back, proves it back and deletes its copy. Run with two sizes, the time
# per line shows whether the restore grows linearly with the run.
# The lines come back into origin folders of PER_FOLDER files each (default 500): Wine looks
# a missing name up by reading the whole folder, so one folder of every line would measure
# Wine's lookups, which grow with the folder, rather than the restore.
# Usage: [PER_FOLDER=n] bench/restore_run.sh [BUILD_ROOT] [LINES...]   (default build, 5000
# and 20000 lines; expects a built tree, scripts/build.sh). Uses its own prefix in
# BUILD_ROOT/bench.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=$(cd "${1:-$src/build}" && pwd)
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(5000 20000)
per=${PER_FOLDER:-500}
bench="$root/bench"
program="$root/win64/program"
twdrive="$root/win64/tools/twdrive/twdrive.exe"
mkdir -p "$bench"
. "$src/cmake/wine-env.sh" "$bench"

app="$WINEPREFIX/drive_c/TracewipeBench"
. "$src/bench/gui-common.sh"
dialog=(--title "$(lang 1061)" --class TwForm)
origin="$WINEPREFIX/drive_c/TwBenchOrigin"
run="01-01-2026_000000_Bench_FileBackup"

for count in "${sizes[@]}"; do
    rm -rf "$app" "$origin"
    mkdir -p "$app/Backup/$run/Windows" "$origin"
    cp "$program/Tracewipe.exe" "$program/English.lng" "$program/NVIDIA.twf" "$app/"
    printf '[PROGRAM]\r\nInterface=Normal\r\nWizard=No\r\n[WARNING]\r\nReadmeStart=No\r\n[LANGUAGE]\r\nCurrentLanguage=English\r\n' \
        >"$app/Tracewipe.ini"
    # one small file per line, each with its own content, PER_FOLDER lines to a folder
    seq 1 "$count" | awk -v per="$per" '{ printf "%03d\\twbench_%06d.dll\n", int(($1 - 1) / per), $1 }' \
        >"$bench/names"
    (cd "$app/Backup/$run/Windows" && cut -d'\' -f1 "$bench/names" | sort -u |
        while read -r d; do mkdir -p "$d" "$origin/$d"; done &&
        tr '\\' / <"$bench/names" | xargs -n 2000 sh -c 'for f; do echo "$f" >"$f"; done' sh)
    awk -F'\\' '{ printf "\\Windows\\%s\\%s, C:\\TwBenchOrigin\\%s\r\n", $1, $2, $1 }' \
        "$bench/names" >"$app/Backup/$run/$run.dfb"

    start_tracewipe
    start=$(date +%s.%N)
    drive keys "${main[@]}" ctrl+u >/dev/null
    drive wait-window "${dialog[@]}" --timeout 600000 >/dev/null
    drive text "${dialog[@]}" --control cmdFRestore --timeout 600000 >/dev/null
    opened=$(date +%s.%N)
    drive press "${dialog[@]}" --control cmdFSelectAll --timeout 600000 >/dev/null
    selected=$(date +%s.%N)
    drive press "${dialog[@]}" --control cmdFRestore --timeout 1200000 >/dev/null
    end=$(date +%s.%N)
    drive close "${dialog[@]}" >/dev/null || true
    drive wait-gone "${dialog[@]}" --timeout 60000 >/dev/null || true
    drive close "${main[@]}" >/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    trap - EXIT

    back=$(find "$origin" -name 'twbench_*.dll' | wc -l)
    left=$(find "$app/Backup" -name 'twbench_*.dll' | wc -l)
    awk -v n="$count" -v s="$start" -v o="$opened" -v a="$selected" -v e="$end" \
        -v b="$back" -v l="$left" -v p="$per" 'BEGIN {
        printf "%d lines (%d a folder): open %.2f s, Select All %.2f s, Restore %.2f s (%.3f ms a line); %d back, %d copies left\n",
            n, p, o - s, a - o, e - a, (e - a) * 1000 / n, b, l }'
done
rm -rf "$app" "$origin"
"$src/cmake/wine-down.sh" "$bench"
