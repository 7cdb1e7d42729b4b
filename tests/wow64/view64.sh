#!/usr/bin/env bash
# The 32-bit Tracewipe.exe started on 64-bit Windows (a 64-bit prefix) cleans the 64-bit
# view through Tracewipe64.exe beside it: the system32 leftover goes and its SysWOW64
# namesake stays, the SysWOW64 file that the filter names goes, the 64-bit key goes (its
# backup export holds the 64-bit key) and its Wow6432Node namesake stays; the exit code and
# the console output come through. Without Tracewipe64.exe nothing is cleaned and the run
# says why. Usage: view64.sh BUILD_ROOT (built native, win32 and win64 folders)
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
root=$(cd "$1" && pwd)
. "$src/cmake/wine-env.sh" "$root/win64"
work="$root/win64/view64"
app="$work/app"
rm -rf "$work"
mkdir -p "$app"
cp "$root/win32/program/Tracewipe.exe" "$root/win32/program/English.lng" "$app/"
cp "$root/win64/program/Tracewipe.exe" "$app/Tracewipe64.exe"
"$root/native/tools/twpack/twpack" pack --text "$src/tests/wow64/view64.txt" "$app/View64.twf"
printf '[PROGRAM]\r\nInterface=Normal\r\nLogFile=No\r\nBackupFiles=No\r\nBackupDir=No\r\nBackupReg=Yes\r\n[LANGUAGE]\r\nCurrentLanguage=English\r\n' \
    >"$app/Tracewipe.ini"
win() { winepath -w "$1" 2>/dev/null; }
sys32="$WINEPREFIX/drive_c/windows/system32"
wow="$WINEPREFIX/drive_c/windows/syswow64"
key='HKLM\SOFTWARE\TwView64'
wowkey='HKLM\SOFTWARE\Wow6432Node\TwView64'
status=0
fail() { echo "view64: $*" && status=1; }
# the 64-bit view whichever reg.exe Wine starts
reg() { wine reg "$@" /reg:64 </dev/null >/dev/null 2>&1; }
seed() {
    echo 64 >"$sys32/twview64.dll"
    echo 32 >"$wow/twview64.dll"
    echo 32 >"$wow/twviewwow.dll"
    reg add "$key" /v View /d 64 /f
    reg add "$wowkey" /v View /d 32 /f
}
run() { # exit code of a /clean, its console output in $work/out-$1.txt
    local rc=0
    (cd "$app" && wine "$(win "$app/Tracewipe.exe")" /clean View64 /report "$(win "$work/report-$1.txt")" \
        </dev/null >"$work/out-$1.txt" 2>/dev/null) || rc=$?
    echo $rc
}

seed
rc=$(run handed)
[ "$rc" -eq 0 ] || fail "exit code $rc, expected 0"
grep -qiF 'system32\twview64.dll' "$work/out-handed.txt" || fail "console output lacks the system32 file"
cmp -s "$work/out-handed.txt" "$work/report-handed.txt" || fail "console and report differ"
[ ! -e "$sys32/twview64.dll" ] || fail "the system32 leftover is still there"
[ -e "$wow/twview64.dll" ] || fail "SysWOW64's namesake was removed"
[ ! -e "$wow/twviewwow.dll" ] || fail "the SysWOW64 file of the filter is still there"
! reg query "$key" || fail "the 64-bit key is still there"
reg query "$wowkey" /v View || fail "the Wow6432Node namesake was removed"
export_file=$(find "$app/Backup" -path '*_RegBackup/*.dat' | head -n 1)
[ -n "$export_file" ] && iconv -f UTF-16 -t UTF-8 "$export_file" | grep -q '"View"="64"' ||
    fail "the registry backup does not hold the 64-bit key"

rm "$app/Tracewipe64.exe"
seed
rc=$(run refused)
[ "$rc" -eq 7 ] || fail "without Tracewipe64.exe: exit code $rc, expected 7"
grep -q 'Tracewipe64.exe' "$work/out-refused.txt" || fail "without Tracewipe64.exe: no word of it"
[ -e "$sys32/twview64.dll" ] && [ -e "$wow/twviewwow.dll" ] && [ -e "$wow/twview64.dll" ] ||
    fail "without Tracewipe64.exe a file was removed"

rm -f "$sys32/twview64.dll" "$wow/twview64.dll" "$wow/twviewwow.dll"
reg delete "$key" /f || true
reg delete "$wowkey" /f || true
[ $status -eq 0 ] && echo "view64: passed"
exit $status
