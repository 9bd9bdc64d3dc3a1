#!/usr/bin/env bash
# Sets up, builds and runs the demo scenario in the headless host.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j "$(nproc 2>/dev/null || echo 2)" --target panelhost
./build/linux/panelhost scenarios/demo.kr "$@"
