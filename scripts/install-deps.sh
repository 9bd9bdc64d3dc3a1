#!/usr/bin/env bash
# Installs the Debian or Ubuntu packages a task needs; safe to run again, it installs only what is
# missing and does nothing when nothing is.
#
#   scripts/install-deps.sh [build|all] [--dry-run]
#
# build: what the demo needs to configure and build panelhost (the compiler, CMake, make, and
#        GoogleTest, which the default configuration looks for).
# all:   (the default) build, plus what the test command needs: Google Benchmark, clang with its
#        sanitizer and libFuzzer runtime, MinGW-w64 for the 32-bit Windows build, and Wine with
#        wine32:i386 (the i386 architecture is added for it) to run that build.
# --dry-run: says what would be installed and which commands would run, and changes nothing.
#
# clang's runtime package is named after clang's major version (libclang-rt-14-dev on Debian 12,
# libclang-rt-18-dev on Ubuntu 24.04); the version is that of the installed clang package, else of
# the one apt would install. Releases whose archive has no such package ship the runtime in
# libclang-common-N-dev, which clang itself pulls in.
set -euo pipefail

mode=all dry=0
for a in "$@"; do
  case "$a" in
    build|all) mode=$a ;;
    --dry-run) dry=1 ;;
    *) echo "usage: scripts/install-deps.sh [build|all] [--dry-run]" >&2; exit 2 ;;
  esac
done

build_set=(cmake g++ make libgtest-dev libgmock-dev)
test_set=(libbenchmark-dev clang llvm mingw-w64 g++-mingw-w64-i686 binutils-mingw-w64-i686 file wine)
i386_set=(wine32:i386)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
in_archive() { apt-cache show "$1" >/dev/null 2>&1; }

# Major version of clang: the installed package's dependency (clang -> clang-14), else apt's
# candidate's; empty when neither is known (no package lists yet).
clang_major() {
  local deps
  if installed clang; then
    deps=$(dpkg-query -W -f='${Depends}' clang 2>/dev/null)
  else
    deps=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: //p')
  fi
  printf '%s\n' "$deps" | tr ',' '\n' | sed -n 's/^ *clang-\([0-9][0-9]*\)\b.*/\1/p' | head -1
}

# Fills `missing`; sets runtime_unknown when clang's version cannot be told yet.
find_missing() {
  missing=() runtime_unknown=0
  local p want=("${build_set[@]}")
  [ "$mode" = all ] && want+=("${test_set[@]}" "${i386_set[@]}")
  for p in "${want[@]}"; do installed "$p" || missing+=("$p"); done
  [ "$mode" = all ] || return 0
  local major rt
  major=$(clang_major)
  if [ -z "$major" ]; then runtime_unknown=1; return 0; fi
  rt=libclang-rt-$major-dev
  if ! installed "$rt" && in_archive "$rt"; then missing+=("$rt"); fi
}

run() {
  if [ $dry -eq 1 ]; then echo "would run: $*"; else "$@"; fi
}

find_missing
if [ ${#missing[@]} -eq 0 ] && [ $runtime_unknown -eq 0 ]; then
  echo "install-deps: the '$mode' packages are installed"
  exit 0
fi

if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg >/dev/null 2>&1; then
  echo "install-deps: needs apt (Debian or Ubuntu) to install the '$mode' packages: ${missing[*]}" >&2
  exit 1
fi
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "install-deps: needs root or sudo to install the '$mode' packages: ${missing[*]}" >&2
    exit 1
  fi
  SUDO=(sudo)
fi

echo "install-deps: missing for '$mode': ${missing[*]}"
if [ "$mode" = all ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  run "${SUDO[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
run "${SUDO[@]}" apt-get update -qq
# With fresh package lists clang's candidate (and so its runtime's name) is known.
find_missing
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: nothing to install"
  exit 0
fi
echo "install-deps: installing ${missing[*]}"
run "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
if [ "$mode" = all ] && [ $dry -eq 0 ]; then
  # Only now is the installed clang certain: add its runtime if the first pass could not name it.
  find_missing
  if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi
echo "install-deps: done"
