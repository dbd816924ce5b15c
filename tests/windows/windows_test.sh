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
  rm -rf "$work"
}
trap cleanup EXIT

check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
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

# ---- Pictures and keys
start_x_session 1024x768
start_window_manager

# Starts a program under Wine from the folder $1 (so that the game must find its own), its output in
# $work/output; sets game_pid and window.
start_game() {
  local folder=$1
  shift
  (cd "$folder" && exec wine "$@") >"$work/output" 2>&1 </dev/null &
  game_pid=$!
  window=$(wait_for_window)
  [ -n "$window" ] || { echo "no window"; cat "$work/output"; return 1; }
  sleep 1  # the first picture
}

end_game() {
  wait_for_exit "$game_pid" 20
  game_pid=
  echo "  the game ended: $exit_status"
  [ "$exit_status" = 0 ]
}

# The keys and the text of a scene's input (boardshot --input), sent through the X server.
play_scene() {
  "$boardshot" --input "$1" | python3 -c '
import json, sys
names = {"\r": "Return", "\x1b": "Escape", ",": "comma"}
for step in json.load(sys.stdin):
    for c in step.get("keys", "") + step.get("text", ""):
        print(names.get(c, c))' | while read -r key; do
    xdotool key --window "$window" "$key"
    sleep 0.12
  done
  sleep 1
}

# How many pixels of the window differ from the Linux game's picture of the scene.
differences_from_linux() {
  local scene=$1
  "$boardshot" --exact "$data" "$scene" "$work/$scene-linux.png" >/dev/null
  import -window "$window" "$work/$scene-windows.png"
  compare -metric AE "$work/$scene-linux.png" "$work/$scene-windows.png" null: 2>&1 || true
}

same_as_linux() {
  local differences
  differences=$(differences_from_linux "$1")
  echo "  $1: $differences pixels differ"
  [ "$differences" = 0 ]
}

player_folder="$work/Spiele für Zoë"
mkdir -p "$player_folder"
mv "$work"/unpacked/* "$player_folder/"
game_folder=$(echo "$player_folder"/Qorda-*-win64)
start_game / "$game_folder/qorda.exe"
check "the menu is the Linux game's" same_as_linux menu-screen
play_scene targeting-screen
check "a match up to the targeting ring is the Linux game's" same_as_linux targeting-screen
stop_process "$game_pid"

# ---- A save in the editor: the keys of the editor's scene, the entry Enter, then a wrong entry to stop,
# y to stop, y to save, and the name.
save_keys=(Return q Return y y z o e Return)
save_in_editor() {
  start_game "$@"
  play_scene editor-screen
  for key in "${save_keys[@]}"; do
    xdotool key --window "$window" "$key"
    sleep 0.12
  done
  sleep 1
  xdotool key --window "$window" 6
  end_game
}
check "the editor saves in the Windows game" save_in_editor "$game_folder" qorda.exe
mkdir "$work/linux"
cp "$data"/tiles.png "$data"/font.bmp "$data"/map01.txt "$work/linux/"
linux_save() {
  (cd "$work/linux" && exec "$linux_game") >/dev/null 2>&1 </dev/null &
  game_pid=$!
  window=$(wait_for_window)
  sleep 1
  play_scene editor-screen
  for key in "${save_keys[@]}"; do
    xdotool key --window "$window" "$key"
    sleep 0.12
  done
  sleep 1
  xdotool key --window "$window" 6
  wait_for_exit "$game_pid" 20
  game_pid=
}
linux_save
check "the saved map is byte for byte the Linux game's" cmp "$game_folder/zoe.txt" "$work/linux/zoe.txt"

# A read-only map is not written: the terminal says so, and the file stays as it was.
chmod a-w "$game_folder/map01.txt"
save_keys=(Return q Return y y m a p 0 1 Return)
save_in_editor "$game_folder" qorda.exe || true
check "a read-only map gives \"Error opening file\"" grep -q "Error opening file map01.txt" "$work/output"
check "a read-only map stays as it was" cmp "$game_folder/map01.txt" "$data/map01.txt"

# ---- The installer, silently, for this user.
windows_path() { winepath -u "$1" 2>/dev/null; }
check "the installer ends well" wine "$setup" /S
appdata=$(windows_path "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
local_appdata=$(windows_path "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
installed="$local_appdata/Programs/Qorda"
menu="$appdata/Microsoft/Windows/Start Menu/Programs"
check "the game is installed under the user's profile" test -f "$installed/qorda.exe"
check "the Start menu has both entries" test -f "$menu/Qorda.lnk" -a -f "$menu/Qorda (strong computer).lnk"
check "the uninstall entry is the user's" \
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Qorda' /v UninstallString

start_shortcut() {
  start_game / start /unix "$menu/Qorda.lnk"
}
players="$appdata/Qorda"
start_shortcut
check "the game from its shortcut shows the menu" same_as_linux menu-screen
check "the first start fills the player's folder" test -f "$players/tiles.png" -a -f "$players/map01.txt"
xdotool key --window "$window" alt+F4
sleep 2
check "Alt+F4 ends the game" wait_for_wine_game

echo "11 0 0" >"$players/map01.txt"
printf 'old' >"$players/tiles.png"
start_shortcut
xdotool key --window "$window" 6
sleep 2
check "a later start refreshes the pictures" cmp "$players/tiles.png" "$data/tiles.png"
check "a later start keeps the player's map" grep -qx "11 0 0" "$players/map01.txt"

check "the uninstaller ends well" wine "$installed/uninstall.exe" /S
sleep 3  # the uninstaller copies itself and finishes from there
check "the uninstaller removes the game" test ! -e "$installed/qorda.exe"
check "the uninstaller leaves the player's maps" test -f "$players/map01.txt"

echo "windows: $failures failed"
[ "$failures" -eq 0 ]
