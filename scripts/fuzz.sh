#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UBSan into build-fuzz and runs
# each for SECONDS (default 30) on a scratch copy of its sample inputs (fuzz/corpus/, a folder
# named after the target),
# one after the other. Prints each target's executions and coverage; stops at the first crash,
# leak, time-out or memory blow-up, leaving the input that caused it in build-fuzz/runs/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DTARVEX_FUZZ=ON -DTARVEX_SANITIZE=ON \
    -DTARVEX_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_all >/dev/null
runs=build-fuzz/runs
rm -rf "$runs"
mkdir -p "$runs"
for seeds in fuzz/corpus/*/; do
    target=$(basename "$seeds")
    mkdir -p "$runs/$target"
    if ! build-fuzz/bin/"$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$runs/$target-" "$runs/$target" "$seeds" >"$runs/$target.log" 2>&1; then
        tail -n 60 "$runs/$target.log"
        echo "fuzz: $target failed; its log and input are in $runs" >&2
        exit 1
    fi
    executions=$(awk '/number_of_executed_units/ {print $2}' "$runs/$target.log")
    coverage=$(awk '/DONE/ {print $3, $4, $5, $6}' "$runs/$target.log")
    echo "$target: $executions executions, $coverage"
done
