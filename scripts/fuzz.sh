#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*.cpp) with clang in their own build tree
# and runs each briefly on its seed corpus (tests/fuzz/corpus/<target>/, plus the
# optional dictionary tests/fuzz/<target>.dict). Any crash, sanitizer report, leak,
# timeout or oversized allocation fails the run; the input is kept as an artifact.
# Targets that read game objects write their seeds again from the objects' own
# writers with FUZZ_WRITE_SEEDS=<folder> <target>.
#   FUZZ_BUILD_DIR   build tree (default build-fuzz)
#   FUZZ_SECONDS     run time of each target (default 10)
#   FUZZ_TARGETS     space-separated subset of targets (default all)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bash scripts/setup.sh
build="${FUZZ_BUILD_DIR:-build-fuzz}"
seconds="${FUZZ_SECONDS:-10}"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DBRINEMARK_FUZZ=ON -DBRINEMARK_TESTS=OFF -DBRINEMARK_BENCH=OFF \
  -DBRINEMARK_CONFIG_NAME="$(basename "$build")" >/dev/null
cmake --build "$build" --target fuzz_all

if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  targets=()
  for src in tests/fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

passed=0
failed=0
mkdir -p "$build/fuzz-logs" "$build/artifacts"
for name in "${targets[@]}"; do
  exe="$build/tests/fuzz/$name"
  seeds="$root/tests/fuzz/corpus/$name"
  work="$build/corpus/$name"
  log="$build/fuzz-logs/$name.log"
  mkdir -p "$work"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=512 -malloc_limit_mb=256
        -artifact_prefix="$build/artifacts/$name-" -print_final_stats=1)
  [ -f "$root/tests/fuzz/$name.dict" ] && args+=(-dict="$root/tests/fuzz/$name.dict")
  [ -d "$seeds" ] || echo "fuzz: $name has no seed corpus in tests/fuzz/corpus/$name" >&2
  # New inputs go to the build tree; the committed seeds are only read.
  corpora=("$work")
  [ -d "$seeds" ] && corpora+=("$seeds")
  if "$exe" "${args[@]}" "${corpora[@]}" >"$log" 2>&1; then
    echo "fuzz: $name ok ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?') runs in ${seconds}s)"
    passed=$((passed + 1))
  else
    echo "fuzz: $name FAILED; the end of $log:" >&2
    tail -n 60 "$log" >&2
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
