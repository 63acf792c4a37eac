#!/usr/bin/env bash
# Runs the self-playing demo under Wine and photographs the screen while it holds its picture.
#   screenshot.sh DEMO.exe OUTPUT.png
set -euo pipefail
demo=$1
out=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$(dirname "$out")"
ready=$(mktemp -u /tmp/views_demo.XXXXXX)
"$here/../../../tools/wine-run" "$demo" "$(winepath -w "$ready" 2>/dev/null)" 3000 &
pid=$!
for _ in $(seq 600); do
  [ -e "$ready" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -e "$ready" ]; then
  echo "screenshot.sh: the demo never held its picture" >&2
  kill "$pid" 2>/dev/null || true
  wait "$pid" || true
  exit 1
fi
rm -f "$ready"
import -window root -crop 240x320+0+0 +repage "$out"
wait "$pid"
echo "screenshot: $out"
