#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --asan).
# Optimised as for a site but without debug information, which would double the build's time
# on a fresh machine; the sanitizer build keeps line tables for its reports, and leaves out the
# benchmarks, whose figures mean nothing under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
extra=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
    "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG")
if [ "${1:-}" = "--asan" ]; then
    dir=build-asan
    extra=(-DTARVEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1
        -DCMAKE_C_FLAGS_DEBUG=-g1 -DTARVEX_BENCH=OFF)
fi
cmake -S . -B "$dir" -DTARVEX_WERROR=ON "${extra[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
