#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QM_BUILD_DIR="${QM_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/configure.sh"
# If ctest itself is interrupted, its cleanup fixture may not run.
trap 'bash "$root/scripts/wine-session.sh" stop "$QM_BUILD_DIR" >/dev/null 2>&1 || true' EXIT
cd "$QM_BUILD_DIR"
ctest --output-on-failure "$@"
