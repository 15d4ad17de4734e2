#!/usr/bin/env bash
# Checks the built executable: a 32-bit GUI program whose resources hold the
# application icon (group 107, one 48x48 image of 32 bits per pixel), the
# manifest (asInvoker, Common Controls 6.0) and the version block.
set -euo pipefail
exe="$1"
fail() { echo "FAIL: $*"; exit 1; }

kind=$(file -b "$exe")
echo "file: $kind"
[[ "$kind" == *"PE32 executable (GUI) Intel 80386"* ]] || fail "not a PE32 GUI i386 executable"

groups=$(wrestool -l --type=14 "$exe")
echo "icon groups: $groups"
[ "$(echo "$groups" | grep -c .)" -eq 1 ] || fail "expected exactly one icon group"
[[ "$groups" == *"--name=107"* ]] || fail "icon group is not 107"

tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
wrestool -x --type=14 --name=107 "$exe" -o "$tmp/group.ico"
icons=$(wrestool -l --type=3 "$exe" | grep -c .)
[ "$icons" -eq 1 ] || fail "expected one icon image, found $icons"
# wrestool writes the group as a complete .ico with its image.
info=$(icotool -l "$tmp/group.ico")
echo "icon: $info"
[[ "$info" == *"--width=48 --height=48 --bit-depth=32"* ]] || fail "icon is not 48x48 32 bpp"

manifest=$(wrestool -x --raw --type=24 "$exe")
echo "$manifest" | grep -q 'level="asInvoker"' || fail "manifest lacks asInvoker"
echo "$manifest" | grep -q 'Microsoft.Windows.Common-Controls' || fail "manifest lacks Common Controls"
echo "$manifest" | grep -q 'version="6.0.0.0"' || fail "manifest lacks version 6.0"

wrestool -x --raw --type=16 "$exe" | tr -d '\0' | grep -aq 'ProductNameQuelmarch' \
  || fail "version block lacks the product name"
echo "1 passed, 0 failed"
