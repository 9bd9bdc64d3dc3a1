#!/usr/bin/env bash
# Sets up and runs every test: the Linux build and its tests, the same under AddressSanitizer
# and UndefinedBehaviorSanitizer, the 32-bit Windows module and host (a scenario under Wine must
# read out exactly as on Linux), and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/install-deps.sh

step() { printf '\n== %s\n' "$*"; }

step "Linux build and tests"
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j "$jobs"
ctest --test-dir build/linux -j "$jobs" --output-on-failure

step "Sanitizer build and tests (ASan + UBSan)"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DKR_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan -j "$jobs" --output-on-failure

step "Frame benchmark (must allocate nothing per frame)"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DKR_BENCH=ON -DKR_TESTS=OFF >/dev/null
cmake --build build/bench -j "$jobs" --target frame_bench
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
