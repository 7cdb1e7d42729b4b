#!/usr/bin/env bash
# Sourced with the build folder as $1: sets up the throwaway Wine prefix and the
# virtual X display of that build folder, creating them on first use.
tw_build=$(cd "$1" && pwd)
export WINEPREFIX="$tw_build/wineprefix"
export WINEDEBUG=-all
# a 64-bit prefix unless the build folder says otherwise (an i686 build runs in a 32-bit one)
export WINEARCH=${TW_WINEARCH:-$(cat "$tw_build/wine-arch" 2>/dev/null || echo win64)}
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine sees its own fonts only (fonts-wine: MS Sans Serif, Tahoma, Marlett ...), copied into
# the prefix's font folder below; fontconfig shows it none of the host's, which it would
# otherwise take as stand-ins, so that text widths, and every caption test, followed what
# the machine happens to have.
export FONTCONFIG_FILE="$tw_build/wine-fonts.conf"
printf '<?xml version="1.0"?>\n<fontconfig><cachedir>%s</cachedir></fontconfig>\n' \
    "$tw_build/fontconfig-cache" >"$FONTCONFIG_FILE.$$"
mv -f "$FONTCONFIG_FILE.$$" "$FONTCONFIG_FILE"
tw_lock="$tw_build/.wine.lock"
# A prefix made by an earlier setup (other fonts cached in its registry) is made afresh.
tw_prefix_version="wine-fonts-only 3"

tw_display_up() {
    local f="$tw_build/xvfb.display"
    if [ -s "$f" ] && [ -s "$tw_build/xvfb.pid" ] && kill -0 "$(cat "$tw_build/xvfb.pid")" 2>/dev/null; then
        export DISPLAY=":$(cat "$f")"
        return
    fi
    rm -f "$f"
    # -displayfd picks a free display number and writes it once the server is ready
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$f" </dev/null >/dev/null 2>&1 &
    echo $! >"$tw_build/xvfb.pid"
    for _ in $(seq 1 100); do
        [ -s "$f" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(tr -d '\n' <"$f")"
}

tw_prefix_up() {
    # A persistent server, started with its output on /dev/null; it answers 2 when one
    # is running already.
    local started=0
    wineserver -p </dev/null >/dev/null 2>&1 && started=1
    if [ "$(cat "$WINEPREFIX/.tw-ready" 2>/dev/null)" != "$tw_prefix_version" ]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
        wineserver -w </dev/null >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
        wineserver -p </dev/null >/dev/null 2>&1 || true
        wineboot -i </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
        echo "$tw_prefix_version" >"$WINEPREFIX/.tw-ready"
        # The first boot made a desktop before the settings above existed, and every later
        # program of this server would join it: outside the virtual desktop, where each
        # closing window waits two seconds for a window manager that Xvfb does not have.
        # A new server reads the settings.
        wineserver -k </dev/null >/dev/null 2>&1 || true
        wineserver -w </dev/null >/dev/null 2>&1 || true
        wineserver -p </dev/null >/dev/null 2>&1
        started=1
    fi
    if [ $started -eq 1 ]; then
        # Wine's helper processes start with the first program of a new server and
        # inherit its output: let them inherit /dev/null, not a test's pipe.
        wine wineboot </dev/null >/dev/null 2>&1
    fi
    # Wine's fonts, the caption buttons' Marlett among them; without them windows show
    # letters for buttons and text in no font at all (the caption tests say so)
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/tahoma.ttf" ]; then
        cp -n /usr/share/wine/fonts/* "$fonts/"
    fi
    [ -n "${DISPLAY:-}" ] || return 0
    # The virtual desktop, started here with its output on /dev/null: started by the
    # first window of a test it would inherit the test's output pipe, and CTest would
    # wait for it to end. Wine closes a desktop a second after its last program ends,
    # so the build's holder program keeps it open until the server stops; without the
    # holder (not built yet) the desktop is only started with a new server.
    local hold="$tw_build/twdeskhold.exe" holdpid="$tw_build/deskhold.pid"
    if [ -f "$hold" ]; then
        if [ $started -eq 1 ] || ! { [ -s "$holdpid" ] && kill -0 "$(cat "$holdpid")" 2>/dev/null; }; then
            wine "$hold" </dev/null >/dev/null 2>&1 &
            echo $! >"$holdpid"
        fi
    elif [ $started -eq 1 ]; then
        wine explorer.exe /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 &
    fi
}

exec 9>"$tw_lock"
flock 9
tw_display_up
tw_prefix_up
flock -u 9
exec 9>&-
