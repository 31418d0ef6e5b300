#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two countdowns started from the command line: dragged near the left and the
# bottom edge they snap onto it and the places are saved; the first one's end
# brings the "finished" pop-up in the bottom-right corner; after a restart both
# windows are back where they were left.
source "$(dirname "$0")/lib.sh"
e2e_init journey_timer
export TZ=Europe/Berlin
e2e_start_x 1280x800
e2e_start_tray
data=$HOME/.Tidra
mkdir -p "$XDG_CONFIG_HOME/Morvane"
printf '[tray]\nshowOnStartUp=false\n[alarms]\nDisplayTime=180\n[timers]\nPlaySound=false\n' \
    >"$XDG_CONFIG_HOME/Morvane/Tidra.conf"
e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon
e2e_command --timer 1h Tea
e2e_command --timer 2h Run
tea=$(e2e_wait_window '^Tea$') || e2e_fail "no window for the first countdown"
run=$(e2e_wait_window '^Run$') || e2e_fail "no window for the second countdown"

# Drags WINDOW with the left button by DX, DY, in a few steps as a hand would.
drag_by() {
    local x y w h i
    read -r x y w h <<<"$(e2e_geometry "$1")"
    local cx=$((x + w / 2)) cy=$((y + h / 2))
    xdotool mousemove $cx $cy mousedown 1
    for i in 1 2 3 4; do xdotool mousemove $((cx + $2 * i / 4)) $((cy + $3 * i / 4)) && sleep 0.1; done
    xdotool mouseup 1
}
at_place() { test "$(e2e_geometry "$1" | cut -d' ' -f1-2)" = "$2"; }
centre() { e2e_geometry "$1" | awk '{ print $1 + int($3 / 2), $2 + int($4 / 2) }'; }
# Within a pixel of "x y" (halves of odd sizes), on screen or in the file.
near() { awk -v w="$2" '{ split(w, c); exit !(($1 - c[1])^2 <= 1 && ($2 - c[2])^2 <= 1) }' <<<"$1"; }
saved() { near "$(grep -A18 -x "$1" "$data/Timers" | sed -n '17,18p' | paste -sd' ')" "$2"; }

read -r x y w h <<<"$(e2e_geometry "$run")"
drag_by "$run" $((1 - x)) 0 # one pixel short of the left edge
e2e_check "dragged a pixel short of the left edge, it snaps" e2e_wait at_place "$run" "0 $y"
read -r x y w h <<<"$(e2e_geometry "$tea")"
drag_by "$tea" 0 $((799 - y - h)) # one pixel short of the bottom
e2e_check "near the bottom edge, it snaps" e2e_wait at_place "$tea" "$x $((800 - h))"
e2e_screenshot snapped
tea_centre=$(centre "$tea") run_centre=$(centre "$run")
e2e_check "the new places are on disk" e2e_wait saved Tea "$tea_centre"
e2e_check "both places are on disk" e2e_wait saved Run "$run_centre"

e2e_set_clock "2026-12-07 11:00:30"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "no finished pop-up"
read -r px py pw ph <<<"$(e2e_geometry "$popup")"
e2e_check "the pop-up sits in the bottom-right corner" test $((px + pw)) = 1280 -a $((py + ph)) = 800
e2e_check "the pop-up goes away on Escape" e2e_dismiss "$popup" Escape

# The finished countdown counts up now and the other shows fewer units: the
# windows changed size, and the centres are what is kept.
tea_centre=$(centre "$tea") run_centre=$(centre "$run")
kill -TERM "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" && test "$E2E_RC" = 0 || e2e_fail "SIGTERM did not end the program with 0"
e2e_start_tidra
tea=$(e2e_wait_window '^Tea$') || e2e_fail "the countdown did not come back"
run=$(e2e_wait_window '^Run$') || e2e_fail "the second countdown did not come back"
back_at() { near "$(centre "$1")" "$2"; }
e2e_check "the finished countdown is back at its place" e2e_wait back_at "$tea" "$tea_centre"
e2e_check "the other one is back at its place" e2e_wait back_at "$run" "$run_centre"
e2e_check "a finished countdown does not ring again" e2e_window_gone '^Alarm$'
e2e_pass
