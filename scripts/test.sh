#!/usr/bin/env bash
# Builds Orvasel with its tests and benchmarks, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/packages.sh
jobs=$(nproc)

cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-tests -j"$jobs"
ctest --test-dir build-tests --output-on-failure -j"$jobs"
