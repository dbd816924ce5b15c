# Shell helpers for tests that run the real game in a private X server. Source this file.

# Starts Xvfb on a free display, with a screen of $1 (default 1024x768) pixels, and exports DISPLAY; the
# server is stopped by stop_x_session.
start_x_session() {
  x_work=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$x_work/display" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$x_work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$x_work/display")"
  unset SDL_VIDEODRIVER SDL_RENDER_DRIVER
}

# Starts openbox as the window manager and waits until it manages windows; stop_x_session stops it.
start_window_manager() {
  openbox --sm-disable --startup "touch $x_work/wm-ready" >/dev/null 2>&1 &
  wm_pid=$!
  for _ in $(seq 100); do [ -e "$x_work/wm-ready" ] && return; sleep 0.1; done
  echo "openbox did not start"
  return 1
}

# Ends process $1, a child of this shell: politely, then for sure, so that a hung program never hangs
# the test.
stop_process() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 30); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

stop_x_session() {
  [ -n "${wm_pid:-}" ] && stop_process "$wm_pid"
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "${x_work:-}" ] && rm -rf "$x_work"
}

# Waits for the game's window and prints its id (the newest, should there be two), or prints nothing after a
# minute. A window that goes away while the search walks the windows' tree (another program's, or one
# that SDL replaces) ends that search with an X error: it is searched again.
wait_for_window() {
  local found= _
  for _ in 1 2 3; do
    found=$(timeout 20 xdotool search --sync --onlyvisible --name '^Qorda$' 2>/dev/null | tail -n 1) || true
    [ -n "$found" ] && break
  done
  echo "$found"
}

# Sends keys to the window.
press_keys() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window" key --delay 120 "$@"
}

# Waits up to $2 seconds for process $1, a child of this shell, to end and sets exit_status to its exit
# status, or to "timeout".
wait_for_exit() {
  exit_status=timeout
  for _ in $(seq $(($2 * 10))); do
    if ! kill -0 "$1" 2>/dev/null; then
      exit_status=0
      wait "$1" || exit_status=$?
      return
    fi
    sleep 0.1
  done
}
