#!/usr/bin/env bash
# Builds everything and starts the program on its demo sandbox.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${TW_BUILD_ROOT:-$src/build}
"$src/scripts/bootstrap.sh"
"$src/scripts/build.sh" "$root"
echo "Built: $root/win64"
