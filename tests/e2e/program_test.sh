#!/usr/bin/env bash
# Starts the real game under a private X server (default renderer) and checks how it starts, ends, waits
# and shows its picture.
# usage: program_test.sh <qorda binary> <data dir> menu-exit|no-media|idle|expose|key-latency [window_probe]
set -euo pipefail
program=$(realpath "$1")
data=$(realpath "$2")
case_name=$3
probe=${4:+$(realpath "$4")}
source "$(dirname "$0")/xsession.sh"

work=$(mktemp -d)
game_pid=
cleanup() {
  if [ -n "$game_pid" ]; then
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  stop_x_session
  rm -rf "$work"
}
trap cleanup EXIT
start_x_session

start_game() {
  cp "$data"/tiles.png "$data"/font.bmp "$data"/*.txt "$work/"
  (cd "$work" && exec "$program" >"$work/stdout") &
  game_pid=$!
  window=$(wait_for_window)
  [ -n "$window" ] || { echo "the window Qorda did not open"; exit 1; }
}

# Fails when the game takes more than $2 percent of one core while it waits in screen $1.
check_idle() {
  sleep 1  # the screen is drawn and shown
  local percent
  percent=$("$probe" cpu "$game_pid" 4)
  echo "processor while the $1 waits: $percent% of one core (at most $2%)"
  awk -v p="$percent" -v limit="$2" 'BEGIN { exit !(p <= limit) }' || { echo "too much processor in the $1"; exit 1; }
}

case "$case_name" in
  menu-exit)
    start_game
    press_keys "$window" 6
    wait_for_exit "$game_pid" 10
    status=$exit_status
    game_pid=
    [ "$status" = 0 ] || { echo "expected exit status 0 after 6, got $status"; cat "$work/stdout"; exit 1; }
    ;;
  no-media)
    (cd "$work" && exec "$program" >"$work/stdout") &
    game_pid=$!
    wait_for_exit "$game_pid" 10
    status=$exit_status
    game_pid=
    [ "$status" = 0 ] || { echo "expected exit status 0, got $status"; exit 1; }
    grep -qx "Failed to load media!" "$work/stdout" || { echo "missing message; stdout was:"; cat "$work/stdout"; exit 1; }
    ;;
  idle)
    start_game
    check_idle "main menu" 1
    press_keys "$window" 2
    check_idle "match of two humans" 1
    press_keys "$window" Escape m 5
    check_idle "help match" 2
    ;;
  expose)
    # The X server keeps nothing of a hidden window: the game must show its picture again when asked.
    start_game
    sleep 1
    shown=$("$probe" picture "$window")
    xdotool windowunmap --sync "$window"
    sleep 0.3
    xdotool windowmap --sync "$window"
    sleep 0.5
    again=$("$probe" picture "$window")
    [ "${shown#* }" -gt 0 ] || { echo "the menu shows nothing"; exit 1; }
    [ "$again" == "$shown" ] || { echo "the picture after hiding and showing the window differs ($shown, $again)"; exit 1; }
    ;;
  key-latency)
    start_game
    press_keys "$window" 2
    sleep 1
    "$probe" latency "$window" "${QORDA_LATENCY_KEYS:-40}"
    ;;
esac
echo "passed: $case_name"
