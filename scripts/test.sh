#!/usr/bin/env bash
# Installs the dependencies, builds everything with warnings as errors and runs every
# test (ctest); then builds the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer in their own tree and runs the whole suite there, where
# any report (memory error, leak, undefined behaviour) fails its test; then the
# fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs="$(nproc)"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRINEMARK_WERROR=ON
cmake --build build
ctest --test-dir build --output-on-failure -j "$jobs"

# Only what the tests need (no benchmarks), in the program folder bin/linux-x64/asan.
# The options reach the test discovery during the build and every program a test
# starts.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRINEMARK_SANITIZE=ON \
  -DBRINEMARK_BENCH=OFF -DBRINEMARK_CONFIG_NAME=asan
cmake --build build-asan
ctest --test-dir build-asan --output-on-failure -j "$jobs"

bash scripts/fuzz.sh
