#!/usr/bin/env bash
# Measures Talvex beside Wine's Minesweeper in a fresh prefix, on $DISPLAY when set, else on a
# virtual screen of its own.
#   [SIZE=WIDTHxHEIGHT] bench/talvex/measure.sh [quick]   (SIZE: a screen of its own that size)
# Takes about three minutes; prints the table and keeps it in build/win64/talvex-measure.txt.
set -euo pipefail
self=$(realpath "${BASH_SOURCE[0]}")
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
bin=build/win64/bin
[ -f "$bin/talvex_measure.exe" ] && [ -f build/win64/release/Talvex.exe ] ||
  { echo "measure.sh: build the win64 preset first" >&2; exit 2; }

# On a screen of its own of that size; without SIZE on the caller's screen when there is one.
if [ "${1:-}" != --on-screen ]; then
  screen=(--reuse)
  [ -n "${SIZE:-}" ] && screen=(--size "$SIZE")
  exec tools/xscreen "${screen[@]}" "$self" --on-screen "$@"
fi
shift
export WINEPREFIX=$PWD/build/win64/bench-prefix
# What a player runs: the release copies, without debugging symbols. Wine reads the sections of
# an image into private memory, symbols too, which would add about 2 MiB that no player pays.
run=build/win64/bench-run
mkdir -p "$run"
cp build/win64/release/Talvex.exe build/win64/release/velcore.dll "$bin/talvex_measure.exe" \
  "$bin/floor_window.exe" "$run/"
trap 'tools/wine-run --stop || true' EXIT
tools/wine-run --start
tools/wine-run "$run/talvex_measure.exe" "$@" | tee build/win64/talvex-measure.txt
