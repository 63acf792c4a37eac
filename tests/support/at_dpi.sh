#!/usr/bin/env bash
# Runs a Windows test program under Wine at another screen resolution, in a prefix of its own:
# Wine reads the resolution when a process starts, so it cannot change for one test in the prefix
# that the other tests share.
#   at_dpi.sh DPI PREFIX PROGRAM.exe [ARGS...]
# The program sees TALVENOR_EXPECT_DPI=DPI and can check that the setting took.
set -euo pipefail
dpi=$1
prefix=$2
shift 2
run="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/wine-run"
"$run" --prefix "$prefix" --start
trap '"$run" --prefix "$prefix" --stop' EXIT
"$run" --prefix "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
  /d "$dpi" /f >/dev/null 2>&1 </dev/null
TALVENOR_EXPECT_DPI=$dpi "$run" --prefix "$prefix" "$@"
