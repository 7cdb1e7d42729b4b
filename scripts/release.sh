#!/usr/bin/env bash
# Packs the release: build/Tracewipe-<version>.zip, one folder holding the 32-bit program
# (Tracewipe.exe with cab.dll, extract.exe and twpack.exe), the 64-bit program
# (Tracewipe64.exe with cab64.dll), the language files, the cleaning and cab filters and
# the help page, nothing else. The 32-bit program runs on every Windows and hands over to
# the 64-bit one on 64-bit Windows. Expects built win32 and win64 folders (scripts/build.sh).
# Usage: release.sh [BUILD_ROOT]; prints the zip's path.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-${TW_BUILD_ROOT:-$src/build}}
win32="$root/win32/program"
win64="$root/win64/program"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/win32/CMakeCache.txt")
[ -n "$version" ] || { echo "release: no project version in $root/win32/CMakeCache.txt" >&2; exit 1; }

# shipped name, built file
files=(Tracewipe.exe:"$win32/Tracewipe.exe" cab.dll:"$win32/cab.dll"
       extract.exe:"$win32/extract.exe" twpack.exe:"$win32/twpack.exe"
       Tracewipe64.exe:"$win64/Tracewipe.exe" cab64.dll:"$win64/cab64.dll"
       Tracewipe.html:"$win32/Tracewipe.html")
for pattern in '*.lng' '*.twf' '*.ccf'; do
    for f in "$win32"/$pattern; do
        [ -e "$f" ] && files+=("$(basename "$f"):$f")
    done
done
ls "$win32"/*.lng >/dev/null 2>&1 || { echo "release: no language file" >&2; exit 1; }
ls "$win32"/*.twf >/dev/null 2>&1 || { echo "release: no cleaning filter" >&2; exit 1; }

# The programs ship without the debugging information the build keeps for itself.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
names=()
for entry in "${files[@]}"; do
    name=${entry%%:*} built=${entry#*:}
    [ -f "$built" ] || { echo "release: $built is missing" >&2; exit 1; }
    cp -p "$built" "$stage/$name"
    case "$built" in
    "$win32"/*.exe | "$win32"/*.dll) i686-w64-mingw32-strip "$stage/$name" ;;
    *.exe | *.dll) x86_64-w64-mingw32-strip "$stage/$name" ;;
    esac
    names+=("$name")
done

zip="$root/Tracewipe-$version.zip"
rm -f "$zip"
(cd "$stage" && zip -q -X "$zip" "${names[@]}")
echo "$zip"
