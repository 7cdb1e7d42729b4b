#!/usr/bin/env bash
# Stops the Wine server and the virtual display of a build folder: wine-down.sh BUILD
b=$(cd "$1" 2>/dev/null && pwd) || exit 0
if [ -d "$b/wineprefix" ]; then
    WINEPREFIX="$b/wineprefix" wineserver -k </dev/null >/dev/null 2>&1 || true
    WINEPREFIX="$b/wineprefix" wineserver -w </dev/null >/dev/null 2>&1 || true
fi
rm -f "$b/deskhold.pid"
if [ -s "$b/xvfb.pid" ]; then
    kill "$(cat "$b/xvfb.pid")" 2>/dev/null || true
    rm -f "$b/xvfb.pid" "$b/xvfb.display"
fi
exit 0
