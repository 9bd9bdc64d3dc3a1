#!/usr/bin/env bash
# Sets up and runs every test: the Linux build and its tests, the same under AddressSanitizer
# and UndefinedBehaviorSanitizer, the 32-bit Windows module and host (a scenario under Wine must
# read out exactly as on Linux), and a short run of each fuzz target.
# Package and build output goes to logs under build/logs, one line a step; a failing step prints
# its log's last lines, and failing tests are run again with their output shown.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/stage.sh

step() { printf '\n== %s\n' "$*"; }

# Runs the tests of a build directory with their output in a log; prints ctest's summary line,
# or, when tests fail, the list of them and each one's output.
run_tests() {
  local dir=$1 log=$KR_LOG_DIR/$2.log status=0
  shift 2
  mkdir -p "$KR_LOG_DIR"
  env "$@" ctest --test-dir "$dir" -j "$(jobs)" --output-on-failure > "$log" 2>&1 || status=$?
  if [ $status -eq 0 ]; then
    echo "tests: $(grep -E '^[0-9]+% tests passed' "$log" | tail -1) (log: $log)"
    return 0
  fi
  echo "tests FAILED in $dir (log: $log):"
  sed -n '/tests passed/,$p' "$log"
  if grep -q 'The following tests FAILED' "$log"; then
    echo "the failing tests, run again:"
    env "$@" ctest --test-dir "$dir" --rerun-failed --output-on-failure || true
  else
    tail -n "$KR_LOG_TAIL" "$log"
  fi
  exit $status
}

build() {  # build DIR [cmake options...] -- [build options...]
  local dir=$1 configure=() target=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do configure+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  target=("$@")
  cmake -S . -B "$dir" "${configure[@]}"
  cmake --build "$dir" -j "$(jobs)" "${target[@]}"
}

step "Setup"
stage "setup: every package the tests need (scripts/install-deps.sh all)" test-setup \
  bash scripts/install-deps.sh all

step "Linux build and tests"
stage "build: build/linux" linux-build build build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_tests build/linux linux-tests

step "Sanitizer build and tests (ASan + UBSan)"
stage "build: build/asan" asan-build build build/asan -DCMAKE_BUILD_TYPE=Debug -DKR_SANITIZE=ON
run_tests build/asan asan-tests ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

step "Frame benchmark (must allocate nothing per frame)"
stage "build: build/bench" bench-build build build/bench -DCMAKE_BUILD_TYPE=Release -DKR_BENCH=ON \
  -DKR_TESTS=OFF -- --target frame_bench
./build/bench/bench/frame_bench --benchmark_min_time=0.2 2>&1 | tee build/bench/frame_bench.txt
grep -q 'allocs_per_frame=0 ' build/bench/frame_bench.txt || { echo "frames allocate"; exit 1; }

if [ -f scripts/test-windows.sh ]; then
  step "Windows module and host"
  bash scripts/test-windows.sh
fi
if [ -f scripts/fuzz.sh ]; then
  step "Fuzz targets"
  bash scripts/fuzz.sh
fi
echo
echo "all tests passed"
