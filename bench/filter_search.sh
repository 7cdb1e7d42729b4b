#!/usr/bin/env bash
# Times a filter pass over five HKEY_LOCAL_MACHINE search entries (the shipped ATI
# filter's) against a pass over one, under Wine, in the build folder's prefix. Consecutive
# search entries share one walk of their root, so the goal is five at most 1.3 times one.
# Usage: bench/filter_search.sh [BUILD_DIR]   (default build/win64; builds twbenchreg)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build/win64}
cmake --build "$build" --target twbenchreg -j2 >/dev/null
exe=$(find "$build/tools/benchreg" -name twbenchreg.exe | head -1)
run() { "$src/cmake/wine-run.sh" "$build" "$exe" "$@" | tr -d '\r'; }

run filter 1 >/dev/null # the first walk fills the server's caches
one=0
five=0
# one and five alternate, so a change in the machine's load shows in both
for _ in 1 2 3; do
    t=$(run filter 1 | tee /dev/stderr | awk '{print $4}')
    one=$(awk -v a="$one" -v b="$t" 'BEGIN { print a + b }')
    t=$(run filter 5 | tee /dev/stderr | awk '{print $4}')
    five=$(awk -v a="$five" -v b="$t" 'BEGIN { print a + b }')
done
awk -v o="$one" -v f="$five" 'BEGIN {
    r = f / o
    printf "five searches / one search: %.2f (goal 1.30) %s\n", r, r <= 1.3 ? "MET" : "MISSED" }'
"$src/cmake/wine-down.sh" "$build"
