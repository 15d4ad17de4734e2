#!/usr/bin/env bash
# Sets up the machine, builds the launcher and starts it under Wine.
# With a display ($DISPLAY) the launcher runs until the player closes it.
# Without one it runs under Xvfb: a screenshot of the screen is written to
# build/screenshots/launcher.png, then the launcher is asked to close.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QM_BUILD_DIR="${QM_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/configure.sh"
source "$root/scripts/wine-env.sh"
exe="$QM_BUILD_DIR/Quelmarch.exe"

if [ -n "${DISPLAY:-}" ]; then
  qm_ensure_prefix
  wine "$exe"
  exit $?
fi

trap 'qm_stop_all' EXIT
qm_stop_all
qm_start_xvfb
qm_ensure_prefix
wine "$exe" &
launcher=$!
shots="$QM_BUILD_DIR/screenshots"
mkdir -p "$shots"
for _ in $(seq 1 100); do
  if xdotool search --name '^Quelmarch$' >/dev/null 2>&1; then break; fi
  kill -0 "$launcher" 2>/dev/null || break
  sleep 0.2
done
sleep 1
import -window root "$shots/launcher.png" 2>/dev/null || true
echo "run: screenshot written to $shots/launcher.png"
# Ask the launcher to close as the window manager would, then wait for it.
wine taskkill /IM Quelmarch.exe >/dev/null 2>&1 || true
for _ in $(seq 1 50); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$launcher" 2>/dev/null; then
  echo "run: the launcher did not close" >&2
  exit 1
fi
wait "$launcher"
