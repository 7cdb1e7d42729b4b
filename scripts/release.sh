#!/usr/bin/env bash
# Packs the release: build/Tracewipe-<version>-win64.zip holding the program, the packer, its
# cabinet tools, its language files, its cleaning and cab filters and its help page,
# nothing else. Expects a built win64 folder (scripts/build.sh).
# Usage: release.sh [BUILD_ROOT]; prints the zip's path.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-${TW_BUILD_ROOT:-$src/build}}
program="$root/win64/program"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/win64/CMakeCache.txt")
[ -n "$version" ] || { echo "release: no project version in $root/win64/CMakeCache.txt" >&2; exit 1; }

files=(Tracewipe.exe twpack.exe cab.dll extract.exe Tracewipe.html)
for pattern in '*.lng' '*.twf' '*.ccf'; do
    for f in "$program"/$pattern; do
        [ -e "$f" ] && files+=("$(basename "$f")")
    done
done
for f in "${files[@]}"; do
    [ -f "$program/$f" ] || { echo "release: $program/$f is missing" >&2; exit 1; }
done
ls "$program"/*.lng >/dev/null 2>&1 || { echo "release: no language file" >&2; exit 1; }
ls "$program"/*.twf >/dev/null 2>&1 || { echo "release: no cleaning filter" >&2; exit 1; }

# The programs ship without the debugging information the build keeps for itself.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for f in "${files[@]}"; do
    cp -p "$program/$f" "$stage/$f"
    case "$f" in *.exe | *.dll) x86_64-w64-mingw32-strip "$stage/$f" ;; esac
done

zip="$root/Tracewipe-$version-win64.zip"
rm -f "$zip"
(cd "$stage" && zip -q -X "$zip" "${files[@]}")
echo "$zip"
