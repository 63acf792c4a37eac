#!/usr/bin/env bash
# Measures Talvex beside Wine's Minesweeper on a virtual screen of its own, in a fresh prefix.
#   [SIZE=WIDTHxHEIGHT] bench/talvex/measure.sh [quick]   (screen 1024x768 unless SIZE says)
# Takes about three minutes; prints the table and keeps it in build/win64/talvex-measure.txt.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
size=${SIZE:-1024x768}
bin=build/win64/bin
[ -f "$bin/talvex_measure.exe" ] || { echo "measure.sh: build the win64 preset first" >&2; exit 2; }

display=97
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display" WINEPREFIX=$PWD/build/win64/bench-prefix
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
tools/wine-run --start
tools/wine-run "$bin/talvex_measure.exe" "$@" | tee build/win64/talvex-measure.txt
