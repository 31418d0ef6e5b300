#!/usr/bin/env bash
# A countdown and a stopwatch made from the tray: their windows show, one is
# dragged near the left edge and one near the bottom edge and both snap onto
# it, the countdown's end brings the "finished" pop-up, and after a restart
# both windows are back exactly where they were left.
source "$(dirname "$0")/lib.sh"
e2e_init journey_timer
export TZ=Europe/Berlin
e2e_start_x 1280x800
e2e_start_tray

data=$HOME/.Tidra
mkdir -p "$data" "$XDG_CONFIG_HOME/Morvane"
cat >"$XDG_CONFIG_HOME/Morvane/Tidra.conf" <<'CONF'
[tray]
showOnStartUp=false

[alarms]
DisplayTime=180

[timers]
AlarmEnabled=true
PlaySound=false
CONF

e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon

# --- a countdown: "Count for" its proposed hour ---
e2e_pick_fast timer
editor=$(e2e_wait_window '^Timer/Stopwatch$') || e2e_fail "no timer editor"
xdotool windowfocus --sync "$editor" type --delay 20 "Tea"
e2e_click_at "$editor" 150 95 # type: "Count for"
sleep 0.3
xdotool key Down Return
e2e_screenshot countdown-editor
e2e_press_key "$editor" Return
e2e_check "the editor closes" e2e_wait e2e_window_gone '^Timer/Stopwatch$'
tea=$(e2e_wait_window '^Tea$') || e2e_fail "no countdown window"

# --- a stopwatch ---
e2e_pick_fast timer
editor=$(e2e_wait_window '^Timer/Stopwatch$') || e2e_fail "no timer editor for the stopwatch"
xdotool windowfocus --sync "$editor" type --delay 20 "Run"
e2e_click_at "$editor" 148 68 # "Stopwatch"
e2e_press_key "$editor" Return
e2e_check "the stopwatch editor closes" e2e_wait e2e_window_gone '^Timer/Stopwatch$'
run=$(e2e_wait_window '^Run$') || e2e_fail "no stopwatch window"
e2e_screenshot two-windows
timers_saved() { grep -qx Run "$data/Timers" && grep -qx Tea "$data/Timers"; }
e2e_check "both are on disk" e2e_wait timers_saved

# Drags with the left button until the window's edge is DX, DY from where it
# was, in a few steps as a hand would.
drag_by() {
    local win=$1 dx=$2 dy=$3 x y w h i
    read -r x y w h <<<"$(e2e_geometry "$win")"
    local cx=$((x + w / 2)) cy=$((y + h / 2))
    xdotool mousemove "$cx" "$cy" mousedown 1
    for i in 1 2 3 4; do
        xdotool mousemove $((cx + dx * i / 4)) $((cy + dy * i / 4))
        sleep 0.1
    done
    xdotool mouseup 1
}
at_place() { test "$(e2e_geometry "$1" | cut -d' ' -f1-2)" = "$2"; }

read -r x y w h <<<"$(e2e_geometry "$run")"
drag_by "$run" $((1 - x)) 0 # one pixel short of the left edge
e2e_check "the stopwatch snaps onto the left edge" e2e_wait at_place "$run" "0 $y"
read -r x y w h <<<"$(e2e_geometry "$tea")"
drag_by "$tea" 0 $((800 - 1 - y - h)) # one pixel short of the bottom
e2e_check "the countdown snaps onto the bottom edge" e2e_wait at_place "$tea" "$x $((800 - h))"
e2e_screenshot snapped
tea_place=$(e2e_geometry "$tea")
run_place=$(e2e_geometry "$run")

# Timers file: each block ends with visible, x, y (the centre), "Timer end".
centre_saved() { # name, "x y w h"
    local gx gy gw gh
    read -r gx gy gw gh <<<"$2"
    grep -A18 -x "$1" "$data/Timers" | tr '\n' ' ' |
        grep -q " 1 $((gx + gw / 2)) $((gy + gh / 2)) Timer end "
}
e2e_check "the stopwatch's new place is on disk" e2e_wait centre_saved Run "$run_place"
e2e_check "the countdown's new place is on disk" e2e_wait centre_saved Tea "$tea_place"

# --- the countdown's end ---
e2e_set_clock "2026-12-07 10:59:50"
sleep 2
e2e_check "no pop-up before the end" e2e_window_gone '^Alarm$'
e2e_set_clock "2026-12-07 11:00:30"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "no finished pop-up"
e2e_screenshot finished
read -r px py pw ph <<<"$(e2e_geometry "$popup")"
e2e_check "the pop-up sits in the bottom-right corner" test $((px + pw)) = 1280 -a $((py + ph)) = 800
e2e_check "the countdown window stays" test -n "$(e2e_find_window '^Tea$')"
e2e_check "the pop-up goes away on Escape" e2e_dismiss "$popup" Escape

# --- a restart: both are back at their places ---
# The finished countdown counts up now, in other units: its window changed
# size around its centre, which is what is kept.
centre() { e2e_geometry "$1" | awk '{ printf "%d %d\n", $1 + int($3 / 2), $2 + int($4 / 2) }'; }
near() { # "x y" "x y": within a pixel (halves of odd sizes)
    local a b
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    [ ${#a[@]} = 2 ] && [ ${#b[@]} = 2 ] &&
        [ $((a[0] - b[0])) -ge -1 ] && [ $((a[0] - b[0])) -le 1 ] &&
        [ $((a[1] - b[1])) -ge -1 ] && [ $((a[1] - b[1])) -le 1 ]
}
back_at() { near "$(centre "$1")" "$2"; }
tea_centre=$(centre "$tea")
run_centre=$(centre "$run")
kill -TERM "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "SIGTERM did not end the program"
e2e_check "SIGTERM ends the program with 0" test "$E2E_RC" = 0
e2e_start_tidra
e2e_check "the tray icon appears again" e2e_wait_tray_icon
tea=$(e2e_wait_window '^Tea$') || e2e_fail "the countdown did not come back"
run=$(e2e_wait_window '^Run$') || e2e_fail "the stopwatch did not come back"
e2e_screenshot after-restart
e2e_check "the countdown is back at its place" e2e_wait back_at "$tea" "$tea_centre"
e2e_check "the stopwatch is back at its place" e2e_wait back_at "$run" "$run_centre"
read -r x y w h <<<"$(e2e_geometry "$tea")"
e2e_check "the countdown still sits on the bottom edge" test $((y + h)) = 800
e2e_log "stopwatch now at $(e2e_geometry "$run")"
e2e_check "a finished countdown does not ring again" e2e_window_gone '^Alarm$'
e2e_pass
