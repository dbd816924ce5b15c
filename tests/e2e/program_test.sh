#!/usr/bin/env bash
# Starts the real game under a private X server and checks how it starts and ends.
# usage: program_test.sh <qorda binary> <data dir> menu-exit|no-media
set -euo pipefail
program=$1
data=$2
case_name=$3
source "$(dirname "$0")/xsession.sh"

work=$(mktemp -d)
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  stop_x_session
  rm -rf "$work"
}
trap cleanup EXIT
start_x_session

case "$case_name" in
  menu-exit)
    cp "$data"/tiles.png "$data"/font.bmp "$data"/*.txt "$work/"
    (cd "$work" && exec "$program" >"$work/stdout") &
    game_pid=$!
    window=$(wait_for_window)
    [ -n "$window" ] || { echo "the window Qorda did not open"; exit 1; }
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
esac
echo "passed: $case_name"
