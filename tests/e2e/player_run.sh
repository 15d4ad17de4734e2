#!/usr/bin/env bash
# The launcher as a player meets it, driven only from outside: real mouse and
# keyboard input through the X server (xdotool), window queries, and the
# login page's navigation through cefsim's cross-process testing interface
# (qmdrive). Runs in the test session's Wine prefix and display.
#   player_run.sh BUILD_DIR
set -uo pipefail
export QM_BUILD_DIR="$1"
source "$(dirname "$0")/../../scripts/wine-env.sh"
if [ -z "${DISPLAY:-}" ] && [ -f "$QM_WINE_STATE/display" ]; then export DISPLAY=$(cat "$QM_WINE_STATE/display"); fi
exe="$QM_BUILD_DIR/Quelmarch.exe"
drive="$QM_BUILD_DIR/qmdrive.exe"
passed=0
failed=0
check() { # description, command...
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
# Positions from the layouts: the login window's buttons (FormLogin.xml) and
# the game title bar's button centres (FormGame.xml at 1440 wide).
LOGIN_OFFICIAL=(240 288); LOGIN_CLOSE=(1372 28)
GAME_BOSSKEY=(1220 16); GAME_FULLSCREEN=(1296 16); GAME_CLOSE=(1420 16)

# The visible top-level X window of a size, or nothing.
window_of_size() { # WxH
  local w
  for w in $(xdotool search --onlyvisible --name '^Quelmarch$' 2>/dev/null); do
    if xdotool getwindowgeometry "$w" | grep -q "Geometry: $1"; then echo "$w"; return 0; fi
  done
  return 1
}
wait_until() { # seconds, command...
  local until=$((SECONDS + $1)); shift
  while ! "$@" >/dev/null 2>&1; do [ $SECONDS -ge $until ] && return 1; sleep 0.2; done
}
gone() { ! "$@" >/dev/null 2>&1; }
click_in() { # window, x, y (relative to the window)
  local x y
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --sync $((X + $2)) $((Y + $3)) click 1
}
screen_size=$(xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2}')
launcher_gone() { ! kill -0 "$launcher" 2>/dev/null; }
no_launcher_process() { ! pgrep -f -i 'quelmarch\.exe' >/dev/null; }

# The shell's handler for http addresses is, for this run, a recorder.
record="$(winepath -u 'C:\users\Public\qm-shell-record.txt' 2>/dev/null)"
rm -f "$record"
wine reg export 'HKCR\http\shell\open\command' "$QM_WINE_STATE/http.reg" /y >/dev/null 2>&1
wine reg add 'HKCR\http\shell\open\command' /ve /d "\"$(winepath -w "$drive")\" record C:\\users\\Public\\qm-shell-record.txt \"%1\"" /f >/dev/null 2>&1
restore_http() { wine reg import "$QM_WINE_STATE/http.reg" >/dev/null 2>&1; }
trap restore_http EXIT

# ---- first run: buttons, game, full screen, boss key, close buttons
wine "$exe" >/dev/null 2>&1 &
launcher=$!
check "the login window and its page appear" wine "$drive" wait-login 30000
login=$(window_of_size 1400x880)
check "the login window is on screen" test -n "$login"
click_in "$login" "${LOGIN_OFFICIAL[@]}"
check "officialbtn reaches the shell" wait_until 15 grep -q 'http://www.quelmarch.example' "$record"

wine "$drive" navigate 'data:text/html,<title>Game</title>The game?client=2' >/dev/null
check "a client=2 navigation opens the game window" wine "$drive" wait-game 30000
game=$(window_of_size 1440x900)
check "the game window is 1440 x 900" test -n "$game"
check "the login window is hidden" gone window_of_size 1400x880

click_in "$game" "${GAME_FULLSCREEN[@]}"
check "fullscreenbtn covers the screen" wait_until 5 window_of_size "$screen_size"
xdotool key Escape
check "Escape leaves full-screen mode" wait_until 5 window_of_size 1440x900

click_in "$game" "${GAME_BOSSKEY[@]}"
check "bosskeybtn hides the game" wait_until 5 gone window_of_size 1440x900
tray=$(xdotool search --onlyvisible --name 'Wine System Tray' 2>/dev/null | head -n 1)
check "the icon is in the tray" test -n "$tray"
# The first icon sits at the left of the tray's client area, under its caption.
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove --sync $((X + 12)) $((Y + HEIGHT - 13)) click 1
check "a click on the icon brings the game back" wait_until 5 window_of_size 1440x900

game=$(window_of_size 1440x900)
click_in "$game" "${GAME_CLOSE[@]}"
check "the game's closebtn returns to the login window" wait_until 5 window_of_size 1400x880
check "the game window is gone" gone window_of_size 1440x900

login=$(window_of_size 1400x880)
start=$SECONDS
click_in "$login" "${LOGIN_CLOSE[@]}"
check "the login's closebtn ends the program within 5 s" wait_until 5 launcher_gone
wait "$launcher"; code=$?
check "with exit code 0" test "$code" -eq 0
check "no launcher process is left" wait_until 3 no_launcher_process

# ---- second run: Alt+F4 on the game, then on the login window
wine "$exe" >/dev/null 2>&1 &
launcher=$!
wine "$drive" wait-login 30000 >/dev/null
wine "$drive" navigate 'data:text/html,again?client=3' >/dev/null
check "a client=3 navigation opens the game window" wine "$drive" wait-game 30000
game=$(window_of_size 1440x900)
click_in "$game" 600 300   # the page: the game window has the focus
xdotool key alt+F4
check "Alt+F4 on the game returns to the login window" wait_until 5 window_of_size 1400x880
login=$(window_of_size 1400x880)
click_in "$login" 700 840  # the login window's own surface
xdotool key alt+F4
check "Alt+F4 on the login window ends the program within 5 s" wait_until 5 launcher_gone
wait "$launcher"; code=$?
check "with exit code 0" test "$code" -eq 0
check "no launcher process is left" wait_until 3 no_launcher_process

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
