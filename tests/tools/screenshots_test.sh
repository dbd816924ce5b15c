#!/usr/bin/env bash
# scripts/screenshots regenerates the README's screenshots: run with the built boardshot into a temporary
# directory, it writes one PNG for every picture committed under docs/, each a different screen of the
# window's size (780 x 598).
# usage: screenshots_test.sh <boardshot>
set -euo pipefail
boardshot=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

BOARDSHOT=$boardshot "$root/scripts/screenshots" "$out" >/dev/null || fail "scripts/screenshots failed"

written=$(cd "$out" && ls -- *.png 2>/dev/null | sort || true)
committed=$(cd "$root/docs" && ls -- *.png 2>/dev/null | sort || true)
[ -n "$committed" ] || fail "docs/ holds no screenshots"
[ "$written" == "$committed" ] || fail "the command wrote [$(echo $written)], docs/ holds [$(echo $committed)]"

for file in $written; do
  # A PNG starts with its 8-byte signature and then the IHDR chunk, whose width and height are 32-bit
  # big-endian numbers at bytes 16 to 23.
  signature=$(od -An -tx1 -N8 "$out/$file" | tr -d ' \n')
  [ "$signature" == "89504e470d0a1a0a" ] || fail "$file is not a PNG"
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$out/$file")
  [ "$width" == 780 ] && [ "$height" == 598 ] || fail "$file is $width x $height, not 780 x 598"
done

distinct=$(cd "$out" && md5sum -- $written | cut -d' ' -f1 | sort -u | wc -l)
[ "$distinct" -eq "$(echo "$written" | wc -l)" ] || fail "two screenshots show the same picture"
echo "screenshots: $(echo $written) written, each 780 x 598"
