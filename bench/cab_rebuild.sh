#!/usr/bin/env bash
# Rebuild of a ~50 MB driver cabinet: cab.dll (through twcab.exe under Wine, the cab
# cleaner's own rebuild) against `gcab -c -z` on the same files. Prints the best of three
# wall-clock times of each, their ratio (goal: at most 1.5) and both cabinet sizes.
# Usage: bench/cab_rebuild.sh [BUILD_DIR]   (default build/win64; builds what it needs)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build/win64}" && pwd)
cmake --build "$build" --target twcab cab -j2 >/dev/null
. "$src/cmake/wine-env.sh" "$build"
twcab=$(find "$build/tools/twcab" -name twcab.exe | head -1)
work="$build/bench_cab"
rm -rf "$work"
mkdir -p "$work/files"
trap 'rm -rf "$work"' EXIT

# Driver-like files: Windows DLLs (code and resources, compressible) up to ~36 MB, then
# ~14 MB of incompressible data (packed firmware and images) in files of 0.5 to 3 MB.
total=0
for f in $(ls -S /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.dll); do
    size=$(stat -c %s "$f")
    [ $((total + size)) -gt 36000000 ] && continue
    cp "$f" "$work/files/"
    total=$((total + size))
done
i=0
while [ $total -lt 50000000 ]; do
    size=$(( (i % 6 + 1) * 500000 ))
    head -c $size /dev/urandom >"$work/files/nvfw$i.bin"
    total=$((total + size))
    i=$((i + 1))
done
echo "files: $(ls "$work/files" | wc -l), $((total / 1000000)) MB"

dll=$(winepath -w "$build/program/cab64.dll") # the win64 build's cabinet library
ours_cab=$(winepath -w "$work/ours.cab")
folder=$(winepath -w "$work/files")
wine "$twcab" "$dll" "$ours_cab" "$folder" </dev/null # warms the file cache and Wine
best() { sort -n | head -1; }
ours=$(for _ in 1 2 3; do
    s=$(date +%s.%N)
    wine "$twcab" "$dll" "$ours_cab" "$folder" </dev/null
    echo "$(date +%s.%N) - $s" | bc
done | best)
theirs=$(for _ in 1 2 3; do
    rm -f "$work/gcab.cab"
    s=$(date +%s.%N)
    (cd "$work/files" && gcab -c -z "$work/gcab.cab" *)
    echo "$(date +%s.%N) - $s" | bc
done | best)
printf 'cab.dll (twcab.exe under Wine): %6.2f s  %10d bytes\n' "$ours" "$(stat -c %s "$work/ours.cab")"
printf 'gcab -c -z:                     %6.2f s  %10d bytes\n' "$theirs" "$(stat -c %s "$work/gcab.cab")"
printf 'time ratio: %.2f (goal <= 1.5)\n' "$(echo "$ours / $theirs" | bc -l)"
