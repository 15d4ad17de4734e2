#!/usr/bin/env bash
# Sets up the machine, builds the launcher and starts it under Wine.
# With a display ($DISPLAY) the launcher runs until the player closes it.
# Without one it runs under Xvfb: screenshots of the login screen and of a
# game started from it (a demonstration page, through cefsim's testing
# interface) are written to build/screenshots/, then the launcher is asked
# to close and must end by itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QM_BUILD_DIR="${QM_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/configure.sh"
source "$root/scripts/wine-env.sh"
exe="$QM_BUILD_DIR/Quelmarch.exe"
drive="$QM_BUILD_DIR/qmdrive.exe"

if [ -n "${DISPLAY:-}" ]; then
  qm_ensure_prefix
  wine "$exe"
  exit $?
fi

trap 'qm_stop_all' EXIT
qm_stop_all
qm_start_xvfb
qm_ensure_prefix
qm_start_services
shots="$QM_BUILD_DIR/screenshots"
mkdir -p "$shots"
wine "$exe" &
launcher=$!

wine "$drive" wait-login 30000
sleep 1
import -window root "$shots/login.png"
echo "run: $shots/login.png"

game='data:text/html,<title>Quelmarch</title><h1>Quelmarch</h1><p>The game runs here (client=2).</p>'
wine "$drive" navigate "$game"
wine "$drive" wait-game 30000
sleep 1
import -window root "$shots/game.png"
echo "run: $shots/game.png"

# Ask the launcher to close as a window manager would, then wait for it.
wine taskkill /IM Quelmarch.exe >/dev/null 2>&1 || true
for _ in $(seq 1 50); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$launcher" 2>/dev/null; then
  echo "run: the launcher did not close" >&2
  exit 1
fi
wait "$launcher"
echo "run: the launcher closed cleanly"
