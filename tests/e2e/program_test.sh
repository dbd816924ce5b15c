#!/usr/bin/env bash
# Starts the real game under a private X server (default renderer) and checks how it starts, ends, waits
# and shows its picture.
# usage: program_test.sh <qorda binary> <data dir> menu-exit|no-media|no-display|keys-together|idle|expose|scale|key-latency|
#        player-program [window_probe]
set -euo pipefail
program=$(realpath "$1")
data=$(realpath "$2")
case_name=$3
probe=${4:+$(realpath "$4")}
source "$(dirname "$0")/xsession.sh"

work=$(mktemp -d)
game_pid=
cleanup() {
  [ -n "$game_pid" ] && stop_process "$game_pid"
  stop_x_session
  rm -rf "$work"
}
trap cleanup EXIT
if [ "$case_name" == scale ]; then start_x_session 3840x2160; else start_x_session; fi

# Starts the game in $work with the arguments given, if any.
start_game() {
  cp "$data"/tiles.png "$data"/font.bmp "$data"/*.txt "$work/"
  (cd "$work" && exec "$program" "$@" >"$work/stdout" 2>"$work/stderr") &
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

# Sets w, h (the window's size), x, y, bw, bh (the box of its pixels that are not black) and k (the
# largest whole multiple of which that box is made).
read_layout() {
  read -r w h x y bw bh k < <("$probe" layout "$window")
}

# Fails unless the window is $1 x $2 and shows the picture at the whole multiple $3, centred: the box of
# its pixels that are not black is the one the picture has at 1x (px, py, pw, ph) scaled and moved.
expect_layout() {
  read_layout
  local want="$1 $2 $((($1 - 780 * $3) / 2 + px * $3)) $((($2 - 598 * $3) / 2 + py * $3)) $((pw * $3)) $((ph * $3)) $3"
  [ "$w $h $x $y $bw $bh $k" == "$want" ] || { echo "$4: window and picture box are [$w $h $x $y $bw $bh $k], expected [$want]"; exit 1; }
  echo "$4: $w x $h, the picture at ${k}x"
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
  no-display)
    # With everything it needs but a display, the game must end at once rather than show itself nowhere.
    cp "$data"/tiles.png "$data"/font.bmp "$data"/*.txt "$work/"
    (cd "$work" && unset DISPLAY WAYLAND_DISPLAY && exec "$program" >"$work/stdout" 2>/dev/null) &
    game_pid=$!
    wait_for_exit "$game_pid" 10
    status=$exit_status
    game_pid=
    [ "$status" = 0 ] || { echo "expected exit status 0, got $status"; exit 1; }
    { grep -q "^SDL could not initialize! SDL Error: .*DISPLAY" "$work/stdout" &&
      grep -qx "Failed to initialize!" "$work/stdout"; } || { echo "missing message; stdout was:"; cat "$work/stdout"; exit 1; }
    ;;
  keys-together)
    # Keys queued while the game is stopped reach it in one pass: the Backspace behind the Return still
    # edits the typed name, so map02 is loaded, not map02x.
    cp "$data/map01.txt" "$work/map02.txt"
    start_game
    press_keys "$window" 3
    sleep 0.5
    kill -STOP "$game_pid"
    xdotool type --delay 0 map02x
    xdotool key --delay 0 Return BackSpace
    sleep 0.3
    kill -CONT "$game_pid"
    sleep 1
    press_keys "$window" 6
    wait_for_exit "$game_pid" 10
    game_pid=
    if grep -q "Error opening file" "$work/stdout"; then echo "the name lost its Backspace:"; cat "$work/stdout"; exit 1; fi
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
  scale)
    # On a 3840 x 2160 screen with a window manager: the window opens at three times the picture, a
    # resized window shows the largest whole multiple centred on black, F11 fills the screen with the
    # picture and F11 again brings the window back at its size.
    start_window_manager
    start_game
    press_keys "$window" 2
    sleep 1
    read_layout
    [ "$w $h $k" == "2340 1794 3" ] || { echo "the window opened at $w x $h, the picture at ${k}x"; exit 1; }
    px=$((x / 3)) py=$((y / 3)) pw=$((bw / 3)) ph=$((bh / 3))
    expect_layout 2340 1794 3 "opened"
    xdotool windowsize --sync "$window" 1700 1300
    sleep 0.5
    expect_layout 1700 1300 2 "resized"
    press_keys "$window" F11
    sleep 1
    expect_layout 3840 2160 3 "fullscreen"
    press_keys "$window" F11
    sleep 1
    expect_layout 1700 1300 2 "back in the window"
    ;;
  key-latency)
    start_game
    press_keys "$window" 2
    sleep 1
    "$probe" latency "$window" "${QORDA_LATENCY_KEYS:-40}"
    ;;
  player-program)
    # The example program plays player 2 against two ended turns of player 1: the position of its second
    # turn shows its Cavalry moved in its first, and the program is gone with the match.
    start_game --opponent "program:tee -a seen | $(dirname "$(realpath "$0")")/../../docs/walk.py"
    press_keys "$window" 1 Escape Return
    sleep 6
    press_keys "$window" Escape Return
    for _ in $(seq 100); do grep -q "^go" <(sed -n '/^turn 2 4$/,$p' "$work/seen") && break; sleep 0.1; done
    grep -qx "turn 2 2" "$work/seen" || { echo "no first turn for the program:"; cat "$work/seen"; exit 1; }
    sed -n '/^turn 2 4$/,$p' "$work/seen" | grep -q "^1,13,c,2," ||
      { echo "the program's move is not on the board:"; cat "$work/seen" "$work/stderr"; exit 1; }
    sleep 6
    press_keys "$window" Escape m 6
    wait_for_exit "$game_pid" 10
    game_pid=
    ! grep -q "^qorda:" "$work/stderr" || { echo "the program lost its side:"; cat "$work/stderr"; exit 1; }
    ! pgrep -f "tee -a seen" >/dev/null || { echo "the program outlived the match"; exit 1; }
    ;;
esac
echo "passed: $case_name"
