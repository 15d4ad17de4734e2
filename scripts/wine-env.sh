# Sourced by the Wine scripts. Sets up the project-local Wine environment for
# the build folder given in QM_BUILD_DIR and offers helpers to create the prefix
# and an Xvfb server. Everything started here is recorded by PID under
# $QM_BUILD_DIR/wine so that the session's stop can end it.

: "${QM_BUILD_DIR:?QM_BUILD_DIR must name the build folder}"
QM_WINE_STATE="$QM_BUILD_DIR/wine"
mkdir -p "$QM_WINE_STATE"

export WINEPREFIX="$QM_BUILD_DIR/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once and reuses it. A lock keeps two tests started at the
# same moment from initialising it twice.
qm_ensure_prefix() {
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.qm-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      # Without a window manager Wine waits for the X server in DestroyWindow
      # unless its windows are unmanaged; a crash must end a test, not wait
      # for a click on a dialog.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.qm-ready"
    fi
  ) 9>"$QM_WINE_STATE/prefix.lock"
}

# Starts the prefix's wineserver and services with no terminal or pipe of
# the caller's: a test's output pipe must close when the test ends, not when
# the last Wine service does.
qm_start_services() {
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Starts an Xvfb server on a free display and records its number and PID.
qm_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    local pid=$!
    local i
    for i in $(seq 1 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        echo ":$n" >"$QM_WINE_STATE/display"
        echo "$pid" >"$QM_WINE_STATE/xvfb.pid"
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

# Ends the Wine processes of the prefix and the Xvfb server recorded above.
qm_stop_all() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -f "$QM_WINE_STATE/xvfb.pid" ]; then
    local pid
    pid=$(cat "$QM_WINE_STATE/xvfb.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
    rm -f "$QM_WINE_STATE/xvfb.pid" "$QM_WINE_STATE/display"
  fi
}
