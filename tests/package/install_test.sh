#!/usr/bin/env bash
# Builds the packages, installs the NSIS installer silently under Wine into
# a temporary folder, starts the installed launcher, closes it, uninstalls,
# and checks that nothing is left behind.
#   install_test.sh BUILD_DIR
set -uo pipefail
export QM_BUILD_DIR="$1"
source "$(dirname "$0")/../../scripts/wine-env.sh"
if [ -z "${DISPLAY:-}" ] && [ -f "$QM_WINE_STATE/display" ]; then export DISPLAY=$(cat "$QM_WINE_STATE/display"); fi
passed=0
failed=0
check() {
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
wait_until() { # seconds, command...
  local until=$((SECONDS + $1)); shift
  while ! "$@" >/dev/null 2>&1; do [ $SECONDS -ge $until ] && return 1; sleep 0.3; done
}

cd "$QM_BUILD_DIR"
cpack -G "ZIP;NSIS" >/dev/null
installer=$(ls -t Quelmarch-*-win32.exe | head -n 1)
zip=$(ls -t Quelmarch-*-win32.zip | head -n 1)
check "the portable zip holds the program and its skin" \
  bash -c "unzip -l '$zip' | grep -q 'Quelmarch.exe' && unzip -l '$zip' | grep -q 'skin/FormGame.xml'"

target_win='C:\users\Public\qm-installed'
target=$(winepath -u "$target_win")
rm -rf "$target"
wine "$installer" /S "/D=$target_win" >/dev/null 2>&1
check "the installer puts the program in the chosen folder" test -f "$target/Quelmarch.exe"
check "with its skin" test -f "$target/skin/FormLogin.xml"
check "and an uninstaller" test -f "$target/Uninstall.exe"
menu=$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Quelmarch' 2>/dev/null)
check "a Start-menu shortcut is made" test -f "$menu/Quelmarch.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quelmarch'
check "the program is registered for removal" bash -c "wine reg query '$uninstall_key' >/dev/null 2>&1"

wine "$target/Quelmarch.exe" >/dev/null 2>&1 &
launcher=$!
check "the installed launcher shows its login screen" wine "$QM_BUILD_DIR/qmdrive.exe" wait-login 30000
wine taskkill /IM Quelmarch.exe >/dev/null 2>&1
check "and closes" wait_until 10 bash -c "! kill -0 $launcher 2>/dev/null"

wine "$target/Uninstall.exe" /S >/dev/null 2>&1
# The uninstaller runs from a copy of itself and returns at once.
check "the uninstaller removes the folder" wait_until 30 bash -c "! test -e '$target'"
check "and the Start-menu shortcut" wait_until 10 bash -c "! test -e '$menu/Quelmarch.lnk'"
check "and its registry entries" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
