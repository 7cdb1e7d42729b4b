#!/usr/bin/env bash
# Builds everything and starts the program on its demo sandbox: a Wine prefix of its own
# (build/demo) seeded with the leftovers of both shipped filters and with look-alikes
# that must survive, and the release folder copied to C:\Tracewipe.
#
# With a reachable display (and TW_HEADLESS unset) Tracewipe opens there in a Wine
# virtual desktop. Otherwise it runs on a virtual display: first the command line (a
# preview of each shipped filter must list every seeded leftover and no look-alike and
# leave drive C and the registry exactly as they were; /clean must remove them, one held
# open by another program at a restart of the prefix; the exit codes are checked), then, on a freshly seeded sandbox, one cleaning run per shipped
# filter is driven through the window, the removed and not-found items and the time of
# each run are printed, the seeded driver cabinets are cleaned in the cab cleaner,
# screenshots go to build/demo/screenshots, and the seeded items and cabinets are checked,
# and a last preview of each filter prints what is left. Then everything is put back
# through the two restore dialogs (Select All, Restore on every run) and the sandbox is
# compared with its state after seeding. Exits non-zero when a seeded leftover survives, a
# look-alike is lost, a cabinet is not cleaned as it should be, the command line fails a
# check, or the restore does not give back what the runs removed.
#
# The release folder holds both programs; the demo starts the 32-bit Tracewipe.exe, which
# hands over to Tracewipe64.exe in the 64-bit prefix. With TW_DEMO_WINDOWS set to win98,
# nt40, win2k or winxp the headless demo runs the 32-bit program alone in a 32-bit prefix
# of its own (build/demo-<value>, kept for the next run) where Wine tells the program that
# it runs on that Windows, checks that each window's Windows label names it, and takes no
# screenshots.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${TW_BUILD_ROOT:-$src/build}
if [ -z "${TW_SKIP_BUILD:-}" ]; then # set it to use the build folders as they stand
    "$src/scripts/bootstrap.sh"
    "$src/scripts/build.sh" "$root"
fi
zip=$("$src/scripts/release.sh" "$root")
echo "Release: $zip"

pretend=${TW_DEMO_WINDOWS:-}
arch=win64
want_os=""
if [ -n "$pretend" ]; then
    case "$pretend" in
    win98) want_os="Windows 98" ;;
    nt40) want_os="Windows NT 4.0" ;;
    win2k) want_os="Windows 2000" ;;
    winxp) want_os="Windows XP" ;;
    *) echo "run: TW_DEMO_WINDOWS is one of win98, nt40, win2k, winxp" >&2 && exit 1 ;;
    esac
    arch=win32
    export TW_WINEARCH=win32 TW_HEADLESS=1
fi
demo="$root/demo${pretend:+-$pretend}"
mkdir -p "$demo/screenshots"
twseed="$root/$arch/tools/twseed/twseed.exe"
twdrive="$root/$arch/tools/twdrive/twdrive.exe"
filters=(NVIDIA ATI)

winpath() { local p="Z:$1"; echo "${p//\//\\}"; }

headless=1
if [ -z "${TW_HEADLESS:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    headless=0
fi

if [ $headless -eq 1 ]; then
    # its own prefix and virtual display, with the virtual desktop running; a prefix that
    # an interactive run made first gets the desktop setting here. The build's holder keeps
    # the desktop open for the whole demo: a desktop that the first window of a driver
    # call started would inherit that call's output pipe, and the demo would wait for it.
    cp "$root/$arch/twdeskhold.exe" "$demo/"
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

if [ -n "$pretend" ]; then
    # the Windows that Wine reports to the program and to the seeder, which lays the driver
    # packages out as that Windows does (Wine's own tools see the default)
    for exe in Tracewipe.exe twseed.exe; do
        wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe" /v Version /d "$pretend" /f \
            </dev/null >/dev/null 2>&1
    done
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
# what every seeded item holds, to compare after the restore (through a file: the registry
# tool that it runs may start Wine's desktop, which would keep a pipe open)
picture() {
    wine "$twseed" picture "${sources[@]}" </dev/null >"$demo/$1.raw" 2>&1
    tr -d '\r' <"$demo/$1.raw" >"$demo/$1.txt"
}

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

# ---- headless: the command line first, on the seeded sandbox ----
tw() { (cd "$app" && exec wine 'C:\Tracewipe\Tracewipe.exe' "$@" </dev/null >/dev/null 2>&1); }
cli_status=0
expect_exit() { # expected code, what it is, arguments...
    local want=$1 what=$2 rc=0
    shift 2
    tw "$@" || rc=$?
    echo "$what: exit $rc (expected $want)"
    [ "$rc" -eq "$want" ] || cli_status=1
}
# The file tree of drive C and exports of HKLM and HKCU, as $demo/snapshot-$1.*
snapshot() {
    (cd "$WINEPREFIX/drive_c" && find . -printf '%y %p %s %T@\n' | LC_ALL=C sort) \
        >"$demo/snapshot-$1.files"
    for root in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
        wine regedit /e "$(winpath "$demo/snapshot-$1.$root.reg")" "$root" </dev/null >/dev/null 2>&1
    done
}
unchanged() {
    for part in files HKEY_LOCAL_MACHINE.reg HKEY_CURRENT_USER.reg; do
        cmp -s "$demo/snapshot-$1.$part" "$demo/snapshot-$2.$part" ||
            { echo "the preview changed $part" && return 1; }
    done
}
# Every seeded leftover of the filter source $2 is an item of the report $1; no
# look-alike is.
lists_the_seeds() {
    local report=$1 missed=0 path
    wine "$twseed" check "$2" </dev/null | tr -d '\r' >"$demo/seeds.txt" || true
    while IFS= read -r path; do
        grep -qiF "($path)" "$report" || { echo "   not listed: $path" && missed=1; }
    done < <(sed -nE 's/^LEFT (file  |folder|key   |value ) //p' "$demo/seeds.txt")
    while IFS= read -r path; do
        ! grep -qiF "($path)" "$report" || { echo "   look-alike listed: $path" && missed=1; }
    done < <(sed -nE 's/^KEPT (file  |folder|key   |value ) //p' "$demo/seeds.txt")
    return $missed
}

lang() { sed -n "s/^$1=//p" "$src/data/lang/English.txt" | tr -d '\r'; }

echo "== the command line =="
# One leftover is held open, as a running program holds its OpenGL library: /clean backs it
# up and leaves it to the next restart (exit 6), which a restart of the prefix carries out.
held='C:\windows\system32\nvoglnt.dll'
hold_stop="$demo/hold.stop"
rm -f "$hold_stop" "$hold_stop.held"
wine "$twseed" hold "$held" "$(winpath "$hold_stop")" </dev/null >/dev/null 2>&1 &
hold_pid=$!
for _ in $(seq 1 100); do
    [ ! -f "$hold_stop.held" ] || break
    sleep 0.2
done
[ -f "$hold_stop.held" ] || { echo "run: $held could not be held open" >&2; exit 1; }
echo "holding $held open"
for f in "${filters[@]}"; do
    # (that a preview changes nothing is checked once, on the 64-bit demo)
    [ -n "$pretend" ] || snapshot "$f-before"
    expect_exit 0 "/preview $f" /preview "$f" /report "$(winpath "$demo/$f-preview.txt")"
    if [ -z "$pretend" ]; then
        snapshot "$f-after"
        unchanged "$f-before" "$f-after" || cli_status=1
    fi
    lists_the_seeds "$demo/$f-preview.txt" "$(winpath "$src/data/filters/$f.txt")" || cli_status=1
    tail -n 1 "$demo/$f-preview.txt" | tr -d '\r'
done
grep -F "($held)" "$demo/NVIDIA-preview.txt" | tr -d '\r' | sed 's/^ */   preview: /'
expect_exit 6 "/clean NVIDIA" /clean NVIDIA /report "$(winpath "$demo/NVIDIA-clean.txt")"
expect_exit 0 "/clean ATI" /clean ATI /report "$(winpath "$demo/ATI-clean.txt")"
grep -F "$(lang 0033)" "$demo/NVIDIA-clean.txt" | tr -d '\r' | sed 's/^/   /' ||
    { echo "   the file in use is not listed" && cli_status=1; }
touch "$hold_stop"
wait "$hold_pid" || true
[ -f "$WINEPREFIX/drive_c/windows/system32/nvoglnt.dll" ] && echo "   still there before the restart" ||
    { echo "   gone before the restart" && cli_status=1; }
wineboot -r </dev/null >/dev/null 2>&1
echo "restarted the prefix (wineboot -r)"
wine "$twseed" check "${sources[@]}" </dev/null | tr -d '\r' | tail -n 1
wine "$twseed" check "${sources[@]}" </dev/null >/dev/null || cli_status=1
for f in "${filters[@]}"; do
    expect_exit 1 "/preview $f after the clean" /preview "$f"
done
expect_exit 3 "/preview of a missing filter" /preview "No Such Filter"
expect_exit 5 "/preview without a filter" /preview
# the window runs below start from a freshly seeded sandbox and an empty backup store
wine "$twseed" seed "${sources[@]}" </dev/null | tr -d '\r' | tail -n 1
rm -rf "$app/Backup" "$app/Log"
picture seeded

# ---- headless: drive one run per filter ----
. "$src/cmake/wine-drive.sh"
# A screenshot of a window; the pretended-Windows runs take none.
shot() { # name, window arguments...
    [ -z "$pretend" ] || return 0
    local name=$1
    shift
    drive screenshot "$@" --window "$(winpath "$demo/screenshots/$name.png")" >/dev/null || true
}
# The Windows label of a window names the Windows that Wine pretends to be.
label_status=0
check_os_label() { # window arguments...
    [ -n "$want_os" ] || return 0
    local label
    label=$(drive text "$@" --control lblOS --timeout 2000 || true)
    echo "Windows label: $label"
    case "$label" in
    "$want_os"*) ;;
    *) echo "   it does not name $want_os" && label_status=1 ;;
    esac
}
main=(--title-prefix Tracewipe --class TwForm)
finished=$(lang 0014)
confirm=$(lang 0010)

launch_main() {
    (cd "$app" && exec wine 'C:\Tracewipe\Tracewipe.exe' </dev/null >/dev/null 2>&1) &
    app_pid=$!
    trap stop_app EXIT
    # the splash shares the title: frmMain is the window with the filter selector
    local ok=0
    for _ in $(seq 1 60); do
        if drive text "${main[@]}" --control cboConfigs --timeout 1000 >/dev/null; then
            ok=1
            break
        fi
        sleep 0.5
    done
    [ $ok -eq 1 ] || { echo "run: the main window did not open" >&2; exit 1; }
}
stop_app() { kill "$app_pid" 2>/dev/null || true; }
launch_main
shot "before" "${main[@]}"
check_os_label "${main[@]}"
expect_exit 4 "/preview while the window is open" /preview NVIDIA

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
    shot "$f" "${main[@]}"
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
shot "cab-before" "${cc[@]}"
check_os_label "${cc[@]}"
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
    shot "cab-$entry" "${cc[@]}"
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

echo "== what a preview still finds after the runs =="
for f in "${filters[@]}"; do
    tw /preview "$f" /report "$(winpath "$demo/$f-left.txt")" || true
    echo "-- $f:"
    tr -d '\r' <"$demo/$f-left.txt" | sed 's/^/   /'
done

echo "== checking the sandbox =="
status=0
wine "$twseed" check "${sources[@]}" </dev/null | tr -d '\r' >"$demo/check.txt" || status=1
grep -E '^(LEFT|LOST) ' "$demo/check.txt" || true
tail -n 1 "$demo/check.txt"
echo "removed $total_removed items, $total_missing not found"

# ---- headless: restore everything ----
echo "== restoring everything =="
launch_main
restored=0
# A driver command whose output is not needed; its complaint ends the demo.
step() {
    local out
    out=$(drive "$@") || { echo "run: twdrive $1 failed: $out" >&2; exit 1; }
}
# Select All and Restore on every run of one side of a restore dialog.
restore_side() {
    local dialog=(--title "$1" --class TwForm) combo=$2 list=$3 all=$4 restore=$5 run n
    step wait-window "${dialog[@]}"
    shot "$combo" "${dialog[@]}"
    while IFS= read -r run; do
        [ -n "$run" ] || continue
        step choose "${dialog[@]}" --control "$combo" --item "$run"
        n=$(drive list "${dialog[@]}" --control "$list" | grep -c . || true)
        step press "${dialog[@]}" --control "$all"
        step press "${dialog[@]}" --control "$restore" --timeout 600000
        echo "   $run: $n lines"
        restored=$((restored + n))
    done < <(drive combo "${dialog[@]}" --control "$combo")
}
close_dialog() {
    step click --title "$1" --class TwForm --control cmdClose
    drive wait-gone --title "$1" --class TwForm --timeout 5000 >/dev/null || true # gone already
}
step keys "${main[@]}" ctrl+u
restore_side "$(lang 1061)" cboResFile lstResFile cmdFSelectAll cmdFRestore
restore_side "$(lang 1061)" cboResDir lstResDir cmdDSelectAll cmdDRestore
close_dialog "$(lang 1061)"
step keys "${main[@]}" ctrl+z
restore_side "$(lang 1057)" cboResReg lstResReg cmdRSelectAll cmdRRestore
close_dialog "$(lang 1057)"

drive close "${main[@]}" >/dev/null || true
wait "$app_pid" 2>/dev/null || true
trap - EXIT

echo "== comparing the sandbox with its seeded state =="
picture restored
# values removed by value entries are never backed up: they stay removed
differ=$(diff <(grep -v '^value  leftover' "$demo/seeded.txt") \
    <(grep -v '^value  leftover' "$demo/restored.txt") | grep -c '^>' || true)
shots="; screenshots in $demo/screenshots"
[ -z "$pretend" ] || shots=""
back() { grep "^$1 *leftover" "$demo/restored.txt" | grep -vc " 0000000000000000 " || true; }
echo "restored $restored index lines: $(back file) files, $(back folder) directories," \
    "$(back key) keys back as seeded; $differ items differ$shots"
"$src/cmake/wine-down.sh" "$demo"
if [ $label_status -ne 0 ]; then
    echo "DEMO FAILED: a window's Windows label does not name $want_os"
    exit 1
fi
if [ $cab_status -ne 0 ]; then
    echo "DEMO FAILED: a driver cabinet was not cleaned as it should be"
    exit 1
fi
if [ $status -ne 0 ]; then
    echo "DEMO FAILED: a seeded leftover survived or a look-alike was lost"
    exit 1
fi
if [ $cli_status -ne 0 ]; then
    echo "DEMO FAILED: the command line did not do what it says"
    exit 1
fi
if [ "$differ" -ne 0 ]; then
    diff <(grep -v '^value  leftover' "$demo/seeded.txt") \
        <(grep -v '^value  leftover' "$demo/restored.txt") | grep '^>' | head -n 20
    echo "DEMO FAILED: the restore did not give back what the runs removed"
    exit 1
fi
echo "DEMO PASSED"
