#!/usr/bin/env bash
# Builds every fuzz target under tests/fuzz (*_fuzz.cc) with clang, libFuzzer and the address
# and undefined-behaviour sanitizers, and runs each for FUZZ_SECONDS (default 20) seconds.
# A crash fails the run. A target names the module sources it needs on a "// fuzz-sources:"
# line, or, when it needs the whole module and host, its CMake target on a
# "// fuzz-cmake-target:" line (built with -DKR_FUZZ=ON); it may name seed files on a
# "// fuzz-seeds:" line.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/fuzz
seconds=${FUZZ_SECONDS:-20}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
mkdir -p "$out"
status=0
shopt -s nullglob
for src in tests/fuzz/*_fuzz.cc; do
  name=$(basename "$src" .cc)
  sources=$(sed -n 's|^// fuzz-sources:||p' "$src")
  target=$(sed -n 's|^// fuzz-cmake-target: *||p' "$src")
  seeds=$(sed -n 's|^// fuzz-seeds:||p' "$src")
  echo "fuzz: building $name"
  if [ -n "$target" ]; then
    CXX=clang++ cmake -S . -B "$out/cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKR_FUZZ=ON -DKR_TESTS=OFF >/dev/null
    cmake --build "$out/cmake" -j "$jobs" --target "$target" >/dev/null
    cp "$out/cmake/$target" "$out/$name"
  else
    # shellcheck disable=SC2086
    clang++ -std=c++17 -g -O1 -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
      "$src" $sources -o "$out/$name"
  fi
  corpus="$out/$name.corpus"
  mkdir -p "$corpus"
  # shellcheck disable=SC2086
  for s in $seeds; do cp "$s" "$corpus/"; done
  echo "fuzz: running $name for ${seconds}s"
  if ! "$out/$name" -max_total_time="$seconds" -max_len=4096 -artifact_prefix="$out/$name-" \
      -print_final_stats=0 "$corpus" > "$out/$name.log" 2>&1; then
    echo "fuzz: $name failed; see $out/$name.log and the $out/$name-* artifacts"
    tail -30 "$out/$name.log"
    status=1
  else
    echo "fuzz: $name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$out/$name.log" | tail -1)"
  fi
done
exit $status
