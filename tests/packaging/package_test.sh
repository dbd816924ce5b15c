#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and starts the installed launcher there under
# a private X server with a temporary home: the window opens, "6" ends the game with status 0, and the
# player's directory holds the seeded files. A second start keeps the player's own map. The installed map
# makers' tool draws the installed map with the installed pictures.
# usage: package_test.sh <build directory>
set -euo pipefail
build=$1
source "$(dirname "$0")/../e2e/xsession.sh"

work=$(mktemp -d)
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  stop_x_session
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >cpack.log) || { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/*.deb)
depends=$(dpkg-deb -f "$package" Depends)
for library in libsdl2-2.0-0 libsdl2-image-2.0-0; do
  [[ "$depends" == *"$library"* ]] || { echo "Depends lacks $library: $depends"; exit 1; }
done
dpkg-deb -x "$package" "$work/root"
for file in usr/bin/qorda usr/libexec/qorda/qorda usr/share/qorda/tiles.png usr/share/qorda/font.bmp \
            usr/share/qorda/map01.txt usr/share/qorda/HelpMap.txt usr/share/applications/qorda.desktop \
            usr/share/metainfo/org.qorda.Qorda.metainfo.xml usr/share/icons/hicolor/48x48/apps/qorda.png \
            usr/bin/qorda-map usr/share/man/man6/qorda-map.6.gz usr/share/man/man6/qorda.6.gz; do
  [ -e "$work/root/$file" ] || { echo "the package lacks /$file"; exit 1; }
done

# The map makers' tool finds the installed pictures from where it is installed.
(cd "$work" && "$work/root/usr/bin/qorda-map" render "$work/root/usr/share/qorda/map01.txt" -o map01.png) ||
  { echo "the installed qorda-map cannot render the installed map01"; exit 1; }
[ -s "$work/map01.png" ] || { echo "qorda-map wrote no picture"; exit 1; }

# The launcher hands its arguments to the game: a wrong opponent ends it with status 2 before any window.
status=0
HOME="$work/home-arguments" "$work/root/usr/bin/qorda" --opponent nobody 2>"$work/stderr" || status=$?
[ "$status" = 2 ] && grep -q "nobody" "$work/stderr" ||
  { echo "the launcher did not pass --opponent nobody on (status $status)"; cat "$work/stderr"; exit 1; }

start_x_session
export HOME="$work/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
player_dir="$HOME/.local/share/qorda"

# Starts the installed launcher, presses 6 in the menu and expects exit status 0.
play_and_exit() {
  "$work/root/usr/bin/qorda" >"$work/stdout" &
  game_pid=$!
  window=$(wait_for_window)
  [ -n "$window" ] || { echo "the window Qorda did not open"; cat "$work/stdout"; exit 1; }
  press_keys "$window" 6
  wait_for_exit "$game_pid" 10
    status=$exit_status
  game_pid=
  [ "$status" = 0 ] || { echo "expected exit status 0, got $status"; exit 1; }
}

play_and_exit
for file in tiles.png font.bmp map01.txt HelpMap.txt; do
  [ -f "$player_dir/$file" ] || { echo "the first start did not seed $file"; exit 1; }
done
grep -q "Error opening file" "$work/stdout" && { echo "the game could not read its map"; exit 1; }

echo "my own map" >"$player_dir/map01.txt"
rm "$player_dir/HelpMap.txt"
play_and_exit
[ "$(cat "$player_dir/map01.txt")" = "my own map" ] || { echo "the player's map01 was overwritten"; exit 1; }
[ -f "$player_dir/HelpMap.txt" ] || { echo "HelpMap was not topped up"; exit 1; }
echo "passed"
