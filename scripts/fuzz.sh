#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers in their own build folder and
# fuzzes each for a share of the time: fuzz.sh [BUILD_DIR] [SECONDS] [TARGET...]
# Targets: decode filter index cab language inf (all by default). The inputs in
# fuzz/regressions/<target> are replayed first; a crash leaves its input in BUILD_DIR.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build/fuzz}
seconds=${2:-10}
shift $(($# < 2 ? $# : 2))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(decode filter index cab language inf)
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link"

CC=clang CXX=clang++ cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTW_FUZZ=ON -DTW_TESTS=OFF -DTW_BENCH=OFF \
    -DCMAKE_C_FLAGS="$sanitize" -DCMAKE_CXX_FLAGS="$sanitize" >/dev/null
cmake --build "$build" --target fuzz_seeds "${targets[@]/#/fuzz_}" -j 2 >/dev/null

# Seeds: the decoder's from fuzz_seeds, the text parsers' from data/ (comments dropped, CR LF
# line ends as after unpacking), a few index lines and a driver package's INF.
seed() { # seed TARGET FILE...
    for file in "${@:2}"; do
        out="$build/corpus/$1/$(basename "$file")"
        grep -av '^#' "$file" | sed 's/$/\r/' >"$out"
        truncate -s '<4096' "$out"
    done
}
mkdir -p "$build"/corpus/{decode,filter,index,cab,language,inf} # every seed is written
"$build/fuzz/fuzz_seeds" "$build/corpus/decode"
seed filter "$src"/data/filters/*.txt
seed cab "$src"/data/cabfilters/*.txt
seed language "$src"/data/lang/*.txt
printf '%s\r\n' '\System\nv4_disp.dll, C:\WINDOWS\system32' 'NVIDIA Corporation, C:\Program Files' \
    'HKEY_LOCAL_MACHINE\SOFTWARE\NVIDIA Corporation, 1.reg' >"$build/corpus/index/lines"
printf '%s\r\n' '[Version]' 'Signature="$Windows NT$"' 'Class=Display ; video' 'Provider=%NV%' \
    'CatalogFile.NTamd64=nv_disp.cat' '[Strings]' 'NV="NVIDIA"' >"$build/corpus/inf/display.inf"

share=$((seconds / ${#targets[@]} > 0 ? seconds / ${#targets[@]} : 1))
status=0
shopt -s nullglob
for target in "${targets[@]}"; do
    fuzzer="$build/fuzz/fuzz_$target"
    log="$build/fuzz-$target.log"
    regressions=("$src/fuzz/regressions/$target"/*)
    if [ ${#regressions[@]} -gt 0 ] && ! "$fuzzer" "${regressions[@]}" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz $target: a saved input fails again"
        status=1
        continue
    fi
    options=(-max_len=4096)
    [ "$target" = decode ] && options=(-max_len=65536)
    [ -f "$src/fuzz/dict/$target.dict" ] && options+=(-dict="$src/fuzz/dict/$target.dict")
    result=0
    "$fuzzer" "${options[@]}" -max_total_time="$share" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/$target-" "$build/corpus/$target" >"$log" 2>&1 || result=$?
    echo "fuzz $target: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") executions" \
        "in $(sed -n 's/^stat::.*//;s/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$log") s"
    if [ $result -ne 0 ]; then
        tail -n 40 "$log"
        echo "fuzz $target: failed (input saved in $build/)"
        status=1
    fi
done
exit $status
