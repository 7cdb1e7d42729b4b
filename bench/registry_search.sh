#!/usr/bin/env bash
# Times the registry search under Wine on a seeded tree of about 205 000 keys, three
# levels deep, against a bare enumeration and the system's reg and regedit tools.
# Usage: bench/registry_search.sh [BUILD_DIR]   (default build/win64; builds twbenchreg)
# Takes 15 to 25 minutes; it uses the build folder's Wine prefix, so run no tests meanwhile.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build/win64}
cmake --build "$build" --target twbenchreg -j2 >/dev/null
exe=$(find "$build/tools/benchreg" -name twbenchreg.exe | head -1)
run() { "$src/cmake/wine-run.sh" "$build" "$exe" "$@"; }

run clean >/dev/null
run seed 59 59 58
# walk and search alternate, so a change in the machine's load shows in both
run walk
run search 15
run regedit
run walk
run search 15
run reg
run search 0
run walkpeek
run clean
"$src/cmake/wine-down.sh" "$build"
