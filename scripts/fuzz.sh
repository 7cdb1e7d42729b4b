#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers in their own build folder and
# fuzzes DecodeByte for a while: fuzz.sh [BUILD_DIR] [SECONDS]
# The inputs in fuzz/regressions are replayed first; a crash leaves its input in BUILD_DIR.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build/fuzz}
seconds=${2:-10}
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link"

CC=clang CXX=clang++ cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTW_FUZZ=ON -DTW_TESTS=OFF -DTW_BENCH=OFF \
    -DCMAKE_C_FLAGS="$sanitize" -DCMAKE_CXX_FLAGS="$sanitize" >/dev/null
cmake --build "$build" --target fuzz_decode fuzz_seeds -j 2 >/dev/null

fuzzer="$build/fuzz/fuzz_decode"
log="$build/fuzz.log"
shopt -s nullglob
regressions=("$src"/fuzz/regressions/*)
if [ ${#regressions[@]} -gt 0 ]; then
    if ! "$fuzzer" "${regressions[@]}" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz: a saved input fails again"
        exit 1
    fi
fi

corpus="$build/corpus"
mkdir -p "$corpus"
"$build/fuzz/fuzz_seeds" "$corpus"
status=0
"$fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/" "$corpus" >"$log" 2>&1 || status=$?
grep -E "^(stat::number_of_executed_units|Done )" "$log" || true
if [ $status -ne 0 ]; then
    tail -n 40 "$log"
    echo "fuzz: failed (input saved in $build/)"
    exit 1
fi
