#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --asan).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
extra=()
if [ "${1:-}" = "--asan" ]; then
    dir=build-asan
    extra=(-DTARVEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S . -B "$dir" -DTARVEX_WERROR=ON "${extra[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
