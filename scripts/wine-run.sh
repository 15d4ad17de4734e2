#!/usr/bin/env bash
# Runs a Windows program under Wine in the build folder's own prefix.
# ctest uses it as the cross-compiling emulator: wine-run.sh program.exe args...
# The build folder is the nearest folder above the program that holds a
# CMakeCache.txt, unless QM_BUILD_DIR says otherwise. The display is, in this
# order: $DISPLAY, the Xvfb server of the running test session.
set -euo pipefail
prog="$1"; shift

if [ -z "${QM_BUILD_DIR:-}" ]; then
  d=$(cd "$(dirname "$prog")" && pwd)
  while [ "$d" != "/" ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ -f "$d/CMakeCache.txt" ] || { echo "wine-run: no build folder above $prog" >&2; exit 2; }
  export QM_BUILD_DIR="$d"
fi
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"

if [ -z "${DISPLAY:-}" ] && [ -f "$QM_WINE_STATE/display" ]; then
  export DISPLAY=$(cat "$QM_WINE_STATE/display")
fi
qm_ensure_prefix
exec wine "$prog" "$@"
