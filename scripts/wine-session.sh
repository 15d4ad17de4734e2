#!/usr/bin/env bash
# Starts (start) or ends (stop) the Wine session of one test run: the prefix,
# and one Xvfb server for the whole run when no display is set. ctest calls
# it as the setup and cleanup fixtures of every test.
set -euo pipefail
export QM_BUILD_DIR="$2"
source "$(dirname "$0")/wine-env.sh"
case "$1" in
  start)
    qm_stop_all
    if [ -z "${DISPLAY:-}" ]; then qm_start_xvfb; fi
    qm_ensure_prefix
    qm_start_services
    ;;
  stop)
    qm_stop_all
    ;;
  *) echo "usage: wine-session.sh start|stop BUILD_DIR" >&2; exit 2 ;;
esac
