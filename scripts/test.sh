#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the 64- and 32-bit Windows tests
# under Wine, the 32-bit program on 64-bit Windows, the demo on older Windows versions,
# GUI tests on a virtual display, and a short fuzz run. Exits non-zero on any failure.
set -uo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${TW_BUILD_ROOT:-$src/build}
"$src/scripts/bootstrap.sh" || exit 1
"$src/scripts/build.sh" "$root" || { echo "BUILD FAILED"; exit 1; }

status=0
echo "== import tables of the shipped binaries =="
for build in i686:win32:cab x86_64:win64:cab64; do
    arch=${build%%:*} rest=${build#*:}
    program=$root/${rest%%:*}/program cab=${rest#*:}
    "$src/cmake/check-imports.sh" "$src/cmake/api-table.txt" "$arch-w64-mingw32-objdump" "$arch" \
        "$program/Tracewipe.exe" "$program/$cab.dll" "$program/extract.exe" "$program/twpack.exe" ||
        status=1
done

echo "== native tests =="
ctest --test-dir "$root/native" --output-on-failure -j "$(nproc)" || status=1

echo "== Windows tests under Wine =="
"$src/cmake/wine-down.sh" "$root/win64"
ctest --test-dir "$root/win64" --output-on-failure || status=1
"$src/cmake/wine-down.sh" "$root/win64"

echo "== 32-bit Windows tests under 32-bit Wine =="
"$src/cmake/wine-down.sh" "$root/win32"
start=$(date +%s)
ctest --test-dir "$root/win32" --output-on-failure || status=1
"$src/cmake/wine-down.sh" "$root/win32"
echo "(32-bit tests: $(($(date +%s) - start)) s)"

echo "== the 32-bit program on 64-bit Windows cleans the 64-bit view =="
"$src/tests/wow64/view64.sh" "$root" || status=1
"$src/cmake/wine-down.sh" "$root/win64"

# The demo's clean-and-restore with the 32-bit program, each in a 32-bit prefix where Wine
# pretends to be that Windows (the whole output in build/demo-<version>.log).
echo "== the demo on the Windows versions that Wine pretends to be =="
for version in win98 nt40 win2k winxp; do
    start=$(date +%s)
    log="$root/demo-$version.log"
    if TW_SKIP_BUILD=1 TW_DEMO_WINDOWS=$version TW_BUILD_ROOT="$root" "$src/scripts/run.sh" \
        >"$log" 2>&1; then
        result=passed
    else
        result=FAILED
        status=1
        grep -E '^(DEMO FAILED|run:|   it does not name|CAB |LEFT |LOST )' "$log" | head -n 20
    fi
    echo "$version: $result, $(grep -m 1 '^Windows label:' "$log" | cut -c 16-)," \
        "$(($(date +%s) - start)) s"
done

if [ -x "$src/scripts/fuzz.sh" ]; then
    echo "== fuzz smoke =="
    "$src/scripts/fuzz.sh" "$root/fuzz" 10 || status=1
fi

# Test lines (tests/, fuzz/ and every *Test*.cpp) against the program's own lines (the rest
# of src/ and tools/): the project keeps tests at most 40% of the code.
count_lines() { find "$@" -type f -print0 | xargs -0 -r cat | wc -l; }
test_lines=$( (cd "$src" && { count_lines tests fuzz; count_lines src tools -name '*Test*.cpp'; }) |
    awk '{ n += $1 } END { print n }')
code_lines=$(cd "$src" && count_lines src tools \( -name '*.cpp' -o -name '*.h' -o -name CMakeLists.txt \) \
    ! -name '*Test*.cpp')
echo "== size: test lines $test_lines, code lines $code_lines," \
    "tests $((100 * test_lines / code_lines))% of the code =="

[ $status -eq 0 ] && echo "ALL TESTS PASSED" || echo "SOME TESTS FAILED"
exit $status
