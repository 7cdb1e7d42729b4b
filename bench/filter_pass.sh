#!/usr/bin/env bash
# Times a cleaning run of the Normal interface over a filter of absent file entries under
# Wine (through the real window, lists and all), against the floor measured in the same
# prefix: the platform's exact-name FindFirstFileA on the same names. Goal: the run at
# most twice the floor.
# Usage: bench/filter_pass.sh [BUILD_ROOT] [ENTRIES]   (default build, 20000 entries;
# expects a built tree, scripts/build.sh). Uses its own prefix in BUILD_ROOT/bench.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-$src/build}
count=${2:-20000}
bench="$root/bench"
program="$root/win64/program"
twdrive="$root/win64/tools/twdrive/twdrive.exe"
cmake --build "$root/win64" --target twbenchreg -j2 >/dev/null
twbench=$(find "$root/win64/tools/benchreg" -name twbenchreg.exe | head -1)
mkdir -p "$bench"
. "$src/cmake/wine-env.sh" "$bench"
winpath() { local p="Z:$1"; echo "${p//\//\\}"; }

app="$WINEPREFIX/drive_c/TracewipeBench"
rm -rf "$app"
mkdir -p "$app"
cp "$program/Tracewipe.exe" "$program/English.lng" "$app/"
printf '[PROGRAM]\r\nInterface=Normal\r\nWizard=No\r\nLogFile=Yes\r\nBackupFiles=Yes\r\nBackupDir=Yes\r\nBackupReg=Yes\r\n[WARNING]\r\nReadmeStart=No\r\n[LANGUAGE]\r\nCurrentLanguage=English\r\n' \
    >"$app/Tracewipe.ini"
list="$bench/absent.txt"
awk -v n="$count" 'BEGIN { printf "[FILES]\r\n"
    for (i = 1; i <= n; i++) printf "\\twbench_absent_%05d.dll\r\n", i }' >"$list"
"$root/native/tools/twpack/twpack" pack --text "$list" "$app/Absent.twf"

floor() { wine "$twbench" floor "$(winpath "$list")" </dev/null | tr -d '\r' | tee /dev/stderr |
    awk '$1 == "findfirst" { print $4 }'; }
f1=$(floor)

. "$src/bench/gui-common.sh"
start_tracewipe
drive select "${main[@]}" --control cboConfigs --item Absent >/dev/null
drive click "${main[@]}" --control cmdClean >/dev/null
drive answer-msgbox --title "$(lang 0010)" --button yes >/dev/null
start=$(date +%s.%N)
finished=$(lang 0014)
for _ in $(seq 1 3000); do
    [ "$(drive text "${main[@]}" --control lblStatus --timeout 2000 || true)" = "$finished" ] &&
        [ "$(drive enabled "${main[@]}" --control cmdClean --timeout 2000 || true)" = 1 ] && break
    sleep 0.1
done
end=$(date +%s.%N)
lines=$(drive list "${main[@]}" --control lstDetails | grep -c . || true)
drive close "${main[@]}" >/dev/null || true
wait "$app_pid" 2>/dev/null || true
trap - EXIT

f2=$(floor)
"$src/cmake/wine-down.sh" "$bench"
awk -v s="$start" -v e="$end" -v a="$f1" -v b="$f2" -v n="$count" -v l="$lines" 'BEGIN {
    run = e - s; fl = (a + b) / 2; r = run / fl
    printf "run over %d absent entries: %.2f s (%d not-found lines)\n", n, run, l
    printf "floor (FindFirstFileA on each name) before and after it: %.2f s, %.2f s\n", a, b
    printf "run / floor: %.2f (goal 2.00) %s\n", r, (r <= 2 && l == n) ? "MET" : "MISSED" }'
