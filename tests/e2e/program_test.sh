#!/usr/bin/env bash
# Starts the real game under a private Xvfb server and checks how it starts and ends.
# usage: program_test.sh <qorda binary> <data dir> menu-exit|no-media
set -euo pipefail
program=$1
data=$2
case_name=$3

work=$(mktemp -d)
xvfb_pid=
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to file descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER

# Waits up to $2 seconds for the game to end and prints its exit status.
wait_for_exit() {
  for _ in $(seq $(($2 * 10))); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1" && echo 0 || echo $?
      return
    fi
    sleep 0.1
  done
  echo timeout
}

mkdir "$work/game"
case "$case_name" in
  menu-exit)
    cp "$data"/*.png "$data"/*.bmp "$data"/*.txt "$work/game/"
    (cd "$work/game" && exec "$program" >"$work/stdout") &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --name '^Qorda$' | head -n 1)
    [ -n "$window" ] || { echo "the window Qorda did not open"; exit 1; }
    sleep 0.5
    xdotool windowfocus --sync "$window" key 6
    status=$(wait_for_exit "$game_pid" 10)
    game_pid=
    [ "$status" = 0 ] || { echo "expected exit status 0 after 6, got $status"; cat "$work/stdout"; exit 1; }
    ;;
  no-media)
    (cd "$work/game" && exec "$program" >"$work/stdout") &
    game_pid=$!
    status=$(wait_for_exit "$game_pid" 10)
    game_pid=
    [ "$status" = 0 ] || { echo "expected exit status 0, got $status"; exit 1; }
    grep -qx "Failed to load media!" "$work/stdout" || { echo "missing message; stdout was:"; cat "$work/stdout"; exit 1; }
    ;;
esac
echo "passed: $case_name"
