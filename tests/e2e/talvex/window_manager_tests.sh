#!/usr/bin/env bash
# The game under a window manager (openbox):
# - asked by another program, as a border drag would, to become far smaller than the handheld's
#   screen, its window comes back to at least 240 x 320, and an ordinary size is taken as asked;
# - what the window manager does while placing the window at start does not pause the game, and
#   the player's moves and sizes still do (the end-to-end test of that, run here).
# Runs on a screen of its own (the window manager would change every other test's windows) and in
# a prefix of its own whose windows the window manager manages.
#   window_manager_tests.sh PREFIX BIN_DIR
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
prefix=$1
bin=$2

if [ "${3:-}" != --on-screen ]; then
  exec "$root/tools/xscreen" --size 1024x768 "${BASH_SOURCE[0]}" "$prefix" "$bin" --on-screen
fi

run() { "$root/tools/wine-run" --prefix "$prefix" "$@"; }
run --start
wm=
app=
cleanup() {
  [ -z "$app" ] || kill "$app" 2>/dev/null || true
  run --stop
  [ -z "$wm" ] || kill "$wm" 2>/dev/null || true
}
trap cleanup EXIT
run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1 </dev/null
run reg delete 'HKCU\Software\Velmora\Gravlin\Options' /f >/dev/null 2>&1 </dev/null || true
openbox >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

run "$bin/Talvex.exe" &
app=$!
window=
for _ in $(seq 300); do
  window=$(xdotool search --name '^Talvenor$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: the game's window never appeared"; exit 1; }

size() { xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }'; }
# Waits until the X window's size stops changing; prints it.
settled() {
  local last= now
  for _ in $(seq 40); do
    sleep 0.25
    now=$(size)
    [ "$now" = "$last" ] && break
    last=$now
  done
  echo "$now"
}
settled >/dev/null
status=0
for asked in "120 150" "239 500" "400 200"; do
  xdotool windowsize "$window" $asked
  read -r width height < <(settled)
  if [ "$width" -lt 240 ] || [ "$height" -lt 320 ]; then
    echo "FAIL: asked for $asked, the window stays ${width} x ${height}"
    status=1
  else
    echo "asked for $asked: ${width} x ${height}"
  fi
done
xdotool windowsize "$window" 600 700
read -r width height < <(settled)
if [ "$width" != 600 ] || [ "$height" != 700 ]; then
  echo "FAIL: asked for 600 x 700, the window is ${width} x ${height}"
  status=1
fi
[ "$status" = 0 ] && echo "the minimum holds under the window manager"
# Closed as the player would, by the window manager's close key; the next test starts its own.
xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null || true
for _ in $(seq 100); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
app=

if ! run "$bin/talvex_e2e.exe" --gtest_filter='TalvexTest.TheWindowManagersPlacingAtStartDoesNotPause' \
  </dev/null; then
  echo "FAIL: the window manager's placing at start, under the window manager"
  status=1
fi
[ "$status" = 0 ] && echo "PASS: under the window manager"
exit $status
