#!/usr/bin/env bash
# Installs the dependencies, builds everything and runs every test, then the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
ctest --test-dir build --output-on-failure -j "$(nproc)"
bash scripts/fuzz.sh
