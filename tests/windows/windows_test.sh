#!/usr/bin/env bash
# The Windows game as a player gets it, tried under Wine in a private X server (Xvfb, openbox):
#  - qorda.exe imports no DLL but Windows' own;
#  - unpacked from the zip into a folder with a name beyond ASCII and started from elsewhere, it shows the
#    Linux game's pictures pixel for pixel (the menu, and a match played up to an Archer's targeting ring);
#  - a map saved in its editor is byte for byte the map the Linux game saves after the same keys, and a
#    read-only map file is refused with "Error opening file" and left as it was;
#  - the installer, run silently, installs for the user: the Start menu entries, the entry of installed
#    apps; the game started from its shortcut fills %APPDATA%\Qorda, a later start refreshes the pictures
#    there and keeps the player's maps, Alt+F4 ends it, and the uninstaller leaves the player's maps.
#
# Usage: windows_test.sh <build/windows> <boardshot> <Linux qorda> <data dir>
# Wine's environment (WINEPREFIX, WINEDEBUG) comes from scripts/windows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
downloads=$(cd "$1" && pwd)
boardshot=$(readlink -f "$2")
linux_game=$(readlink -f "$3")
data=$(cd "$4" && pwd)
# shellcheck source=../e2e/xsession.sh
source "$here/../e2e/xsession.sh"

work=$(mktemp -d)
failures=0
game_pid=
cleanup() {
  [ -n "$game_pid" ] && stop_process "$game_pid"
  stop_x_session
  if [ -n "${QORDA_KEEP_WORK:-}" ]; then echo "work kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    if [ -s "$work/output" ]; then sed 's/^/  output: /' "$work/output" | grep -v ALSA | tail -n 5 || true; fi
    failures=$((failures + 1))
  fi
}

# ---- The programs need no DLL beyond Windows' own: each one they import is one of Wine's system DLLs.
zip=$(find "$downloads" -maxdepth 1 -name 'Qorda-*-win64.zip' | head -n 1)
setup=$(find "$downloads" -maxdepth 1 -name 'Qorda-*-setup.exe' | head -n 1)
unzip -q "$zip" -d "$work/unpacked"
only_windows_dlls() {
  local dll missing=0
  for dll in $(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
    if [ ! -e "$WINEPREFIX/drive_c/windows/system32/${dll,,}" ]; then
      echo "  $1 imports $dll"
      missing=1
    fi
  done
  return $missing
}
for program in "$work"/unpacked/*/qorda.exe "$work"/unpacked/*/qorda-map.exe; do
  check "$(basename "$program") imports Windows' own DLLs only" only_windows_dlls "$program"
done

# ---- Pictures, keys and saves
start_x_session 1024x768
start_window_manager

# Starts a program (under Wine or not) from the folder $1, with its output in $work/output; sets game_pid
# and window. A start that shows no window is told and tried once more (Wine has been seen to end a
# program at its start); without a window the second time, it fails.
start_game() {
  local folder=$1 try
  shift
  for try in 1 2; do
    wait_for_wine_desktop_to_close
    (cd "$folder" && exec "$@") >"$work/output" 2>&1 </dev/null &
    game_pid=$!
    window=$(wait_for_window)
    [ -n "$window" ] && break
    no_window
    [ "$try" = 1 ] || return 1
    echo "  starting it once more"
  done
  # SDL may replace the window while it looks for a renderer that works: keys go to the one that stays.
  local shown
  for _ in $(seq 10); do
    settled_picture "$work/first.png" || return 1
    shown=$(wait_for_window)
    [ "$shown" = "$window" ] && return
    window=$shown
  done
}

# Wine closes its desktop a moment after the last program ends. A game started before that would find what
# the last one left there: after Alt+F4 the desktop has been seen to hold the keyboard, having taken the
# release of Alt as Alt pressed alone. Each game starts once the desktop has closed.
wait_for_wine_desktop_to_close() {
  for _ in $(seq 100); do
    pgrep -f 'explorer.exe /desktop' >/dev/null || return 0
    sleep 0.1
  done
  echo "  Wine's desktop stays open"
}

# What the test saw when the game's window did not come or went away: whether the program still runs, the
# windows there are, and the program's last lines.
no_window() {
  wait_for_exit "$game_pid" 1
  echo "  no window of the game; the program $([ "$exit_status" = timeout ] && echo runs ||
    echo "ended with status $exit_status")"
  echo "  windows: $(for w in $(xdotool search --name . 2>/dev/null); do xdotool getwindowname "$w"; done |
    sort -u | paste -sd '|')"
  tail -n 5 "$work/output" | sed 's/^/  output: /'
  stop_process "$game_pid"
  game_pid=
}

# Takes the picture of the window into $1. import given a window that has gone waits for a click on another
# one: it is given 10 seconds.
import_window() { [ -n "$window" ] && timeout 10 import -window "$window" "$1"; }

# Takes the window's picture into $1; a window gone since it was found is looked up again.
window_picture() {
  import_window "$1" 2>/dev/null && return
  window=$(wait_for_window)
  import_window "$1" && return
  no_window
  return 1
}

# Takes the window's picture into $1 once it stays the same for half a second (at most 10 seconds): the
# game has taken the keys sent before and drawn what they lead to.
settled_picture() {
  local previous=$work/previous.png
  window_picture "$1" || return 1
  for _ in $(seq 20); do
    sleep 0.5
    cp "$1" "$previous"
    window_picture "$1" || return 1
    [ "$(differences "$previous" "$1")" = 0 ] && return
  done
}

end_game() {
  wait_for_exit "$game_pid" 20
  [ "$exit_status" = timeout ] && stop_process "$game_pid"
  game_pid=
  echo "  the game ended: $exit_status"
  [ "$exit_status" = 0 ]
}

press() {
  local key
  for key in "$@"; do
    xdotool key --window "$window" "$key"
    sleep 0.12
  done
}

# The keys and the text of a scene's input (boardshot --input), sent through the X server.
play_scene() {
  local keys
  mapfile -t keys < <("$boardshot" --input "$1" | python3 -c '
import json, sys
names = {"\r": "Return", "\x1b": "Escape", ",": "comma"}
for step in json.load(sys.stdin):
    for c in step.get("keys", "") + step.get("text", ""):
        print(names.get(c, c))')
  press "${keys[@]}"
}

# How many pixels of two pictures differ.
differences() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}

same_pictures() {
  local count
  count=$(differences "$1" "$2")
  echo "  $(basename "$1") and $(basename "$2"): $count pixels differ"
  [ "$count" = 0 ]
}

# Plays a scene in a game started with start_game's arguments and takes the window's picture as $work/NAME.png.
picture_of_scene() {
  local scene=$1 name=$2
  shift 2
  start_game "$@"
  [ "$scene" = menu-screen ] || play_scene "$scene"
  settled_picture "$work/$name.png"
  stop_process "$game_pid"
  game_pid=
}

player_folder="$work/Spiele für Zoë"
mkdir -p "$player_folder" "$work/linux"
mv "$work"/unpacked/* "$player_folder/"
game_folder=$(echo "$player_folder"/Qorda-*-win64)
cp "$data"/tiles.png "$data"/font.bmp "$data"/map01.txt "$work/linux/"
windows_game=(/ wine "$game_folder/qorda.exe")
linux_game=("$work/linux" "$linux_game")

# The menu is the Linux game's golden picture; a match in a real window is what the Linux game shows in
# the same X server (whose renderer blends the Archer's targeting ring as the Windows game's does).
"$boardshot" --exact "$data" menu-screen "$work/menu-golden.png" >/dev/null
picture_of_scene menu-screen menu-windows "${windows_game[@]}"
check "the menu is the Linux game's golden picture" same_pictures "$work/menu-golden.png" "$work/menu-windows.png"
picture_of_scene targeting-screen match-windows "${windows_game[@]}"
picture_of_scene targeting-screen match-linux "${linux_game[@]}"
check "a match up to the targeting ring is the Linux game's" \
  same_pictures "$work/match-linux.png" "$work/match-windows.png"
close_while_aiming() {
  start_game "${windows_game[@]}" || return 1
  play_scene targeting-screen
  press alt+F4
  end_game
}
check "Alt+F4 while an Archer aims ends the game" close_while_aiming

# ---- A save in the editor: the keys of the editor's scene, the entry's Enter, then a wrong entry to stop,
# y to stop, y to save, the name, and 6 to leave the game. Each question is on screen before it is
# answered, since the name prompt drops the keys pressed before it appeared.
save_in_editor() {
  local name=$1 answer
  shift
  start_game "$@" || return 1
  play_scene editor-screen
  press Return q Return
  for answer in y y; do
    settled_picture "$work/saved.png" || return 1
    press "$answer"
  done
  settled_picture "$work/saved.png" || return 1
  press $(echo "$name" | sed 's/./& /g') Return
  settled_picture "$work/saved.png" || return 1
  press 6
  end_game
}
check "the Windows game saves a map" save_in_editor zoe "${windows_game[@]}"
check "the Linux game saves a map" save_in_editor zoe "${linux_game[@]}"
check "the saved map is byte for byte the Linux game's" cmp "$game_folder/zoe.txt" "$work/linux/zoe.txt"

# A read-only map is not written: the terminal says so, and the file stays as it was.
chmod a-w "$game_folder/map01.txt"
save_in_editor map01 "${windows_game[@]}" || true
check "a read-only map gives \"Error opening file\"" grep -q "Error opening file map01.txt" "$work/output"
check "a read-only map stays as it was" cmp "$game_folder/map01.txt" "$data/map01.txt"

# ---- The installer, silently, for this user.
windows_path() { winepath -u "$1" 2>/dev/null; }
# The Linux path of one of the user's folders, by the name of its environment variable.
user_folder() { windows_path "$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')"; }
appdata=$(user_folder APPDATA)
local_appdata=$(user_folder LOCALAPPDATA)
rm -rf "$appdata/Qorda"  # an earlier run's player
check "the installer ends well" wine "$setup" /S
installed="$local_appdata/Programs/Qorda"
menu="$appdata/Microsoft/Windows/Start Menu/Programs"
check "the game is installed under the user's profile" test -f "$installed/qorda.exe"
check "the Start menu has both entries" test -f "$menu/Qorda.lnk" -a -f "$menu/Qorda (strong computer).lnk"
check "the uninstall entry is the user's" \
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Qorda' /v UninstallString

# Starts what the Start menu entry $1 starts: its program, in its working folder, with its arguments.
start_shortcut() {
  local command
  mapfile -t command < <(python3 "$here/shortcut_command.py" "$menu/$1.lnk")
  # shellcheck disable=SC2086 # the arguments are words
  start_game "$(windows_path "${command[1]}")" wine "${command[0]}" ${command[2]}
}
check "the second entry plays against the strong computer" \
  grep -qx -- "--opponent strong" <(python3 "$here/shortcut_command.py" "$menu/Qorda (strong computer).lnk")
players="$appdata/Qorda"
start_shortcut Qorda
settled_picture "$work/menu-installed.png"
check "the game from its shortcut shows the menu" same_pictures "$work/menu-golden.png" "$work/menu-installed.png"
check "the first start fills the player's folder" test -f "$players/tiles.png" -a -f "$players/map01.txt"
press alt+F4
check "Alt+F4 ends the game" end_game

echo "11 0 0" >"$players/map01.txt"
printf 'old' >"$players/tiles.png"
start_shortcut Qorda
press 6
end_game || true
check "a later start refreshes the pictures" cmp "$players/tiles.png" "$data/tiles.png"
check "a later start keeps the player's map" grep -qx "11 0 0" "$players/map01.txt"

check "the uninstaller ends well" wine "$installed/uninstall.exe" /S
sleep 3  # the uninstaller copies itself and finishes from there
check "the uninstaller removes the game" test ! -e "$installed/qorda.exe"
check "the uninstaller leaves the player's maps" test -f "$players/map01.txt"

echo "windows: $failures failed"
[ "$failures" -eq 0 ]
