#!/usr/bin/env bash
# Sets up, builds and runs every test. --asan runs them under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh "$@"
dir=build
[ "${1:-}" = "--asan" ] && dir=build-asan
ctest --test-dir "$dir" -j6 --output-on-failure
