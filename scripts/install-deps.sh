#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the Windows cross-build need.
# Safe to run again: it only installs what is missing.
set -euo pipefail

want=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev clang llvm
      libclang-rt-14-dev mingw-w64 g++-mingw-w64-i686 binutils-mingw-w64-i686 file)
want_i386=(wine wine32:i386)

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
need_i386=0
for p in "${want_i386[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || { missing+=("$p"); need_i386=1; }
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ $need_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -q i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
