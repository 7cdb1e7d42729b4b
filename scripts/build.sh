#!/usr/bin/env bash
# Configures and builds: build/native (Linux host), build/win64 and build/win32 (the 64-bit
# and the 32-bit program, each with its Windows tests). Usage: build.sh [BUILD_ROOT]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-$src/build}
jobs=$(nproc)

cmake -S "$src" -B "$root/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_TESTS=ON >/dev/null
cmake --build "$root/native" -j "$jobs"

cmake -S "$src" -B "$root/win64" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_TESTS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw64.cmake" >/dev/null
cmake --build "$root/win64" -j "$jobs"

cmake -S "$src" -B "$root/win32" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_BENCH=OFF -DTW_TESTS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw32.cmake" >/dev/null
cmake --build "$root/win32" -j "$jobs"
