#!/usr/bin/env bash
# Builds everything and starts the program on its demo sandbox. Until the program window
# exists, the demo packs the sample text source with twpack and unpacks it again with
# twpack.exe under Wine.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${TW_BUILD_ROOT:-$src/build}
"$src/scripts/bootstrap.sh"
"$src/scripts/build.sh" "$root"
echo "Built: $root/win64"

demo="$root/win64/demo"
mkdir -p "$demo"
"$root/native/tools/twpack/twpack" pack --text "$src/data/samples/sample.txt" "$demo/sample.twf"
"$src/cmake/wine-run.sh" "$root/win64" "$root/win64/tools/twpack/twpack.exe" \
    unpack "$demo/sample.twf" "$demo/sample.out"
"$src/cmake/wine-down.sh" "$root/win64"
echo "Packed $(stat -c %s "$src/data/samples/sample.txt") bytes of text into" \
    "$(stat -c %s "$demo/sample.twf") bytes ($demo/sample.twf); unpacked under Wine:"
cat "$demo/sample.out"
