#!/usr/bin/env bash
# Builds everything and starts the program on its demo sandbox: a Wine prefix of its own
# (build/demo) seeded with the leftovers of both shipped filters and with look-alikes
# that must survive, and the release folder copied to C:\Tracewipe.
#
# With a reachable display (and TW_HEADLESS unset) Tracewipe opens there in a Wine
# virtual desktop. Otherwise it runs on a virtual display: one cleaning run per shipped
# filter is driven through the window, the removed and not-found items and the time of
# each run are printed, the seeded driver cabinets are cleaned in the cab cleaner,
# screenshots go to build/demo/screenshots, and the seeded items and cabinets are checked.
# Exits non-zero when a seeded leftover survives or a look-alike is lost.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${TW_BUILD_ROOT:-$src/build}
if [ -z "${TW_SKIP_BUILD:-}" ]; then # set it to use the build folders as they stand
    "$src/scripts/bootstrap.sh"
    "$src/scripts/build.sh" "$root"
fi
zip=$("$src/scripts/release.sh" "$root")
echo "Release: $zip"

demo="$root/demo"
mkdir -p "$demo/screenshots"
twseed="$root/win64/tools/twseed/twseed.exe"
twdrive="$root/win64/tools/twdrive/twdrive.exe"
filters=(NVIDIA ATI)

winpath() { local p="Z:$1"; echo "${p//\//\\}"; }

headless=1
if [ -z "${TW_HEADLESS:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    headless=0
fi

if [ $headless -eq 1 ]; then
    # its own prefix and virtual display, with the virtual desktop running; a prefix that
    # an interactive run made first gets the desktop setting here
    . "$src/cmake/wine-env.sh" "$demo"
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
        </dev/null >/dev/null 2>&1
else
    export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/.tw-ready" ]; then
        rm -rf "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            </dev/null >/dev/null 2>&1
        touch "$WINEPREFIX/.tw-ready"
    fi
    marlett=/usr/share/wine/fonts/marlett.ttf # Wine's caption buttons
    [ ! -f "$marlett" ] || cp -n "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
fi

# The program folder C:\Tracewipe, made afresh from the release zip.
app="$WINEPREFIX/drive_c/Tracewipe"
rm -rf "$app"
mkdir -p "$app"
(cd "$app" && cmake -E tar xf "$zip")
printf '[PROGRAM]\r\nInterface=Normal\r\nWizard=No\r\nLogFile=Yes\r\nBackupFiles=Yes\r\nBackupDir=Yes\r\nBackupReg=Yes\r\n[WARNING]\r\nReadmeStart=%s\r\n[LANGUAGE]\r\nCurrentLanguage=English\r\n' \
    "$([ $headless -eq 1 ] && echo No || echo Yes)" >"$app/Tracewipe.ini"

sources=()
for f in "${filters[@]}"; do sources+=("$(winpath "$src/data/filters/$f.txt")"); done
echo "== seeding the sandbox =="
wine "$twseed" seed "${sources[@]}" </dev/null | tr -d '\r' | tail -n 3

# Driver cabinets where Windows keeps them, each holding driver files that the cab cleaner
# removes and look-alikes that it keeps; the seeded files stay in build/demo/cabinets.
cab_drivers=(ati2mtag.sys ATI2DVAG.DLL atikmdag.sys Nv4_Disp.dll NV4_MINI.SYS nvcpl.dll)
cab_keep=(vga.sys vgapnp.sys cnvfat.dll mnmdd.sys tatiwin.inf)
cabinets=("Driver Cache/i386/driver.cab" "ServicePackFiles/i386/sp2.cab")
rm -rf "$demo/cabinets"
for cab in "${cabinets[@]}"; do
    seeded="$demo/cabinets/$(basename "$cab")"
    mkdir -p "$seeded" "$(dirname "$WINEPREFIX/drive_c/windows/$cab")"
    for f in "${cab_drivers[@]}" "${cab_keep[@]}"; do
        { echo "$f of $cab"; head -c $((20000 + RANDOM)) /dev/urandom; } >"$seeded/$f"
    done
    (cd "$seeded" && gcab -c -z "$WINEPREFIX/drive_c/windows/$cab" *)
done
echo "seeded ${#cabinets[@]} driver cabinets"

if [ $headless -eq 0 ]; then
    echo "Starting Tracewipe in a Wine virtual desktop on $DISPLAY (prefix $WINEPREFIX)."
    cd "$app"
    exec wine explorer /desktop=Tracewipe,1024x768 'C:\Tracewipe\Tracewipe.exe'
fi

# ---- headless: drive one run per filter ----
drive() { wine "$twdrive" "$@" </dev/null 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
main=(--title-prefix Tracewipe --class TwForm)
lang() { sed -n "s/^$1=//p" "$src/data/lang/English.txt" | tr -d '\r'; }
finished=$(lang 0014)
confirm=$(lang 0010)

(cd "$app" && exec wine 'C:\Tracewipe\Tracewipe.exe' </dev/null >/dev/null 2>&1) &
app_pid=$!
stop_app() { kill "$app_pid" 2>/dev/null || true; }
trap stop_app EXIT

# the splash shares the title: frmMain is the window with the filter selector
ok=0
for _ in $(seq 1 60); do
    if drive text "${main[@]}" --control cboConfigs --timeout 1000 >/dev/null; then ok=1; break; fi
    sleep 0.5
done
[ $ok -eq 1 ] || { echo "run: the main window did not open" >&2; exit 1; }
drive screenshot "${main[@]}" --window "$(winpath "$demo/screenshots/before.png")" >/dev/null || true

rm -f "$demo/summary.txt.new"
total_removed=0
total_missing=0
for f in "${filters[@]}"; do
    drive select "${main[@]}" --control cboConfigs --item "$f" >/dev/null
    drive click "${main[@]}" --control cmdClean >/dev/null
    start=$(date +%s.%N)
    drive answer-msgbox --title "$confirm" --button yes >/dev/null
    drive wait-gone --title "$confirm" >/dev/null || true
    done_ok=0
    for _ in $(seq 1 600); do
        status=$(drive text "${main[@]}" --control lblStatus --timeout 2000 || true)
        if [ "$status" = "$finished" ] &&
            [ "$(drive enabled "${main[@]}" --control cmdClean --timeout 2000 || true)" = 1 ]; then
            done_ok=1
            break
        fi
        sleep 0.5
    done
    end=$(date +%s.%N)
    [ $done_ok -eq 1 ] || { echo "run: the $f run did not finish within its bound" >&2; exit 1; }
    drive list "${main[@]}" --control lstDetail >"$demo/$f-removed.txt"
    drive list "${main[@]}" --control lstDetails >"$demo/$f-notfound.txt"
    drive screenshot "${main[@]}" --window "$(winpath "$demo/screenshots/$f.png")" >/dev/null ||
        true
    removed=$(grep -c . "$demo/$f-removed.txt" || true)
    missing=$(grep -c . "$demo/$f-notfound.txt" || true)
    total_removed=$((total_removed + removed))
    total_missing=$((total_missing + missing))
    echo "== $f =="
    echo "-- removed ($removed):"
    sed 's/^/   /' "$demo/$f-removed.txt"
    echo "-- not found ($missing):"
    sed 's/^/   /' "$demo/$f-notfound.txt"
    awk -v f="$f" -v r="$removed" -v m="$missing" -v s="$start" -v e="$end" \
        'BEGIN { printf "%s: %d removed, %d not found, %.1f s\n", f, r, m, e - s }' |
        tee -a "$demo/summary.txt.new"
done
mv "$demo/summary.txt.new" "$demo/summary.txt"

# ---- the cab cleaner, opened from the Tools menu, cleans each seeded cabinet ----
cc=(--title-prefix "$(lang 1027)" --class TwForm)
drive menu "${main[@]}" "$(lang 1019 | tr -d '&')" "$(lang 1020 | tr -d '&')" >/dev/null
drive wait-window "${cc[@]}" --timeout 10000 >/dev/null ||
    { echo "run: the cab cleaner did not open" >&2; exit 1; }
drive screenshot "${cc[@]}" --window "$(winpath "$demo/screenshots/cab-before.png")" >/dev/null ||
    true
cab_status=0
for cab in "${cabinets[@]}"; do
    entry=$(basename "$cab")
    drive select "${cc[@]}" --control cboConfig --item "$entry" >/dev/null
    drive click "${cc[@]}" --control cmdClean >/dev/null
    drive answer-msgbox --title "$confirm" --button yes >/dev/null
    drive wait-gone --title "$confirm" >/dev/null || true
    want="$(lang 0026) $entry !"
    done_ok=0
    for _ in $(seq 1 120); do
        if [ "$(drive text "${cc[@]}" --control lblStatus --timeout 2000 || true)" = "$want" ] &&
            [ "$(drive enabled "${cc[@]}" --control cmdClean --timeout 2000 || true)" = 1 ]; then
            done_ok=1
            break
        fi
        sleep 0.5
    done
    [ $done_ok -eq 1 ] || { echo "run: cleaning $entry did not finish" >&2; exit 1; }
    drive screenshot "${cc[@]}" --window "$(winpath "$demo/screenshots/cab-$entry.png")" \
        >/dev/null || true
    # what is left must be the look-alikes, byte for byte, as both tools read it
    out="$demo/cabinets/$entry.out"
    rm -rf "$out"
    cabextract -q -d "$out" "$WINEPREFIX/drive_c/windows/$cab" || true
    left=$(ls "$out" 2>/dev/null | sort | tr '\n' ' ')
    want_left=$(printf '%s\n' "${cab_keep[@]}" | sort | tr '\n' ' ')
    listed=$(gcab -l "$WINEPREFIX/drive_c/windows/$cab" | sed -E 's/ [0-9]+ [0-9-]+ [0-9:]+ 0x[0-9a-f]+$//' |
        sort | tr '\n' ' ')
    echo "== $entry: left $left"
    if [ "$left" != "$want_left" ] || [ "$listed" != "$want_left" ]; then
        echo "CAB WRONG $entry: expected $want_left, cabextract gives $left, gcab lists $listed"
        cab_status=1
    fi
    for f in "${cab_keep[@]}"; do
        cmp -s "$out/$f" "$demo/cabinets/$entry/$f" || { echo "CAB CHANGED $entry: $f"; cab_status=1; }
    done
done
drive click "${cc[@]}" --control cmdClose >/dev/null
drive wait-gone "${cc[@]}" >/dev/null || true

drive close "${main[@]}" >/dev/null || true
wait "$app_pid" 2>/dev/null || true
trap - EXIT

echo "== checking the sandbox =="
status=0
wine "$twseed" check "${sources[@]}" </dev/null | tr -d '\r' >"$demo/check.txt" || status=1
grep -E '^(LEFT|LOST) ' "$demo/check.txt" || true
tail -n 1 "$demo/check.txt"
echo "removed $total_removed items, $total_missing not found; screenshots in $demo/screenshots"
"$src/cmake/wine-down.sh" "$demo"
if [ $cab_status -ne 0 ]; then
    echo "DEMO FAILED: a driver cabinet was not cleaned as it should be"
    exit 1
fi
if [ $status -ne 0 ]; then
    echo "DEMO FAILED: a seeded leftover survived or a look-alike was lost"
    exit 1
fi
echo "DEMO PASSED"
