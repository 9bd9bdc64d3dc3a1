#!/usr/bin/env bash
# Sets up, builds and flies the demo (scenarios/demo.kr) in the headless host: one line for the
# setup and one for the build (their output goes to logs under build/logs), then the flight's
# readout, then one closing line. Arguments are panelhost options, given to it as they are:
#   bash scripts/demo.sh --sound-out flight.wav     (the flight's sound, as a WAV file)
# Paths in them are taken from the directory the command is run in.
set -euo pipefail
here=$(pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/stage.sh

build_panelhost() {
  cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build/linux -j "$(jobs)" --target panelhost
}

stage "setup: the compiler and CMake (scripts/install-deps.sh build)" demo-setup \
  bash scripts/install-deps.sh build
stage "build: panelhost in build/linux" demo-build build_panelhost

# The panel is named so that a panels/ folder where the command is run cannot stand in for it.
panel=(--panel "$root/panels/default.cfg")
sound="" prev=""
for a in "$@"; do
  [ "$a" = --panel ] && panel=()
  [ "$prev" = --sound-out ] && sound=$a
  prev=$a
done

readout=$KR_LOG_DIR/demo-readout.txt
echo
status=0
(cd "$here" && "$root/build/linux/panelhost" "${panel[@]}" "$@" "$root/scenarios/demo.kr") | tee "$readout" \
  || status=$?
echo
case $status in
  0)
    closing="demo: $(wc -l < "$readout") lines from one flight (scenarios/demo.kr): cold cockpit,"
    closing+=" start-up on the APU, engine start, take-off call-outs, altitude capture and ILS"
    closing+=" autoland; every expect held"
    [ -n "$sound" ] && closing+="; its sound is in $sound"
    echo "$closing." ;;
  1) echo "demo: an expect of scenarios/demo.kr failed (message above); the flight stopped there." ;;
  *) echo "demo: panelhost stopped with exit status $status (message above)." ;;
esac
exit $status
