#!/usr/bin/env bash
# Cross-builds tarvesk for Windows with mingw-w64 and checks it under Wine, in
# an Xvfb of its own: wine_check.exe starts tarvesk.exe and reads
# CF_METAFILEPICT back; it runs throughout, so Wine's clipboard stays alive.
# Usage: wine_check.sh <tarvesk source folder> <scratch folder>
# Exits 77 (skipped) when mingw-w64, Wine or Xvfb is not installed.
set -euo pipefail
source_dir=$1
work=$2

for tool in x86_64-w64-mingw32-g++ wine wineserver wineboot Xvfb; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

mkdir -p "$work"
cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/mingw-w64.cmake" >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installers: they would wait for an answer.
export WINEDLLOVERRIDES="mscoree=;mshtml="

xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it takes connections.
coproc XVFB { exec Xvfb -displayfd 1 -nolisten tcp -screen 0 640x480x24 2>/dev/null; }
xvfb_pid=$XVFB_PID
read -r -t 30 display <&"${XVFB[0]}" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$display"

wineboot -i >/dev/null 2>&1
wine "$work/build/wine_check.exe" | tr -d '\r' | tee "$work/check.log"
grep -q ' passed, 0 failed$' "$work/check.log"
