#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, Windows tests under Wine,
# GUI tests on a virtual display, and a short fuzz run. Exits non-zero on any failure.
set -uo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${TW_BUILD_ROOT:-$src/build}
"$src/scripts/bootstrap.sh" || exit 1
"$src/scripts/build.sh" "$root" || { echo "BUILD FAILED"; exit 1; }

status=0
echo "== native tests =="
ctest --test-dir "$root/native" --output-on-failure -j "$(nproc)" || status=1

echo "== Windows tests under Wine =="
"$src/cmake/wine-down.sh" "$root/win64"
ctest --test-dir "$root/win64" --output-on-failure || status=1
"$src/cmake/wine-down.sh" "$root/win64"

if [ -x "$src/scripts/fuzz.sh" ]; then
    echo "== fuzz smoke =="
    "$src/scripts/fuzz.sh" "$root/fuzz" 10 || status=1
fi

[ $status -eq 0 ] && echo "ALL TESTS PASSED" || echo "SOME TESTS FAILED"
exit $status
