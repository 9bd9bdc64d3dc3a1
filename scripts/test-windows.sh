#!/usr/bin/env bash
# The 32-bit Windows build: ketravin.dll must export exactly Linkage and ImportTable and need no
# MinGW runtime DLL; panelhost.exe, loading it under Wine, must print for every scenario exactly
# what the Linux host prints (scenarios whose first line says "linux-only" are skipped).
# The builds' output goes to logs under build/logs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/stage.sh

build_win32() {
  cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
  cmake --build build/win32 -j "$(jobs)"
}
build_linux_host() {
  cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build/linux -j "$(jobs)" --target panelhost
}

stage "build: build/win32 (MinGW-w64, i686)" win32-build build_win32
dll=build/win32/ketravin.dll

file "$dll" | grep -q 'PE32 executable (DLL).*Intel 80386' || { echo "ketravin.dll is not a 32-bit PE DLL"; file "$dll"; exit 1; }
exports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/{print $NF}' | sort | tr '\n' ' ')
if [ "$exports" != "ImportTable Linkage " ]; then
  echo "ketravin.dll exports '$exports', expected exactly 'ImportTable Linkage'"; exit 1
fi
imports=$(i686-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/{print tolower($3)}' | sort -u)
for d in $imports; do
  case "$d" in
    kernel32.dll|user32.dll|msvcrt.dll|dsound.dll|advapi32.dll|ole32.dll) ;;
    *) echo "ketravin.dll depends on $d"; exit 1 ;;
  esac
done
echo "ketravin.dll: PE32 DLL, exports: $exports, imports: $(echo $imports | tr '\n' ' ')"

linux_host=build/linux/panelhost
[ -x "$linux_host" ] || stage "build: panelhost in build/linux" linux-host-build build_linux_host

# No audio driver: DirectSound creation fails and the module runs silent, as without a sound card.
export WINEDEBUG=-all WINEPREFIX="$PWD/build/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv="
out=build/win32/readouts
mkdir -p "$out"
status=0
for s in scenarios/*.kr; do
  head -1 "$s" | grep -q 'linux-only' && continue
  name=$(basename "$s" .kr)
  set +e
  "$linux_host" "$s" > "$out/$name.linux.txt" 2> "$out/$name.linux.err"
  linux_rc=$?
  timeout 300 wine build/win32/panelhost.exe "$s" > "$out/$name.wine.txt" 2> "$out/$name.wine.err"
  wine_rc=$?
  set -e
  if [ $linux_rc -ne $wine_rc ]; then
    echo "exit status of $s: Linux $linux_rc, Wine $wine_rc"; cat "$out/$name.wine.err" | head -5; status=1; continue
  fi
  if cmp -s "$out/$name.linux.txt" "$out/$name.wine.txt"; then
    echo "wine readout of $s: identical ($(wc -l < "$out/$name.wine.txt") lines)"
  else
    echo "wine readout of $s differs from Linux:"; diff "$out/$name.linux.txt" "$out/$name.wine.txt" | head -20
    status=1
  fi
done
exit $status
