#!/usr/bin/env bash
# Runs a Windows test program in a prefix of its own whose screen has DPI dots per inch, with
# TALVEX_EXPECT_DPI telling the program which resolution it should find:
#   at_dpi.sh PREFIX DPI PROGRAM.exe [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
prefix=$1
dpi=$2
shift 2
run=("$root/tools/wine-run" --prefix "$prefix")
# A session reads the resolution when it starts: set it, then start the server afresh.
"${run[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
  >/dev/null 2>&1 </dev/null
"${run[@]}" --stop
"${run[@]}" --start
trap '"${run[@]}" --stop' EXIT
TALVEX_EXPECT_DPI=$dpi "${run[@]}" "$@"
