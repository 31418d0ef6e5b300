#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An alarm's life on a real desktop, by keys once a tray menu is open. Double
# clicks on the icon at 80, 250 and 350 ms each open the settings once; an alarm
# added from the fast-actions menu rings without taking the focus;
# "Show alarm pop-ups" gives it the focus. Three alarms jumped over by a suspend
# ring at the resume. Delete in the alarm list removes one from disk.
source "$(dirname "$0")/lib.sh"
e2e_desktop journey_alarm
mkdir -p "$DATA"
e2e_conf '[tray]' showOnStartUp=false '[alarms]' DisplayTime=300 PlaySound=false
for m in 10 20 30; do # once on Monday 7 December at 12:10, 12:20, 12:30
    e2e_block Alarm "Nap $m" "1 2026 07 12 12 $m 1 0 0 0 0 0 0 0 0 0"
done >"$DATA/Alarms"
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
popups_are() { test "$(e2e_find_window '^Alarm$' | grep -c .)" = "$1"; }
e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
icon=$(e2e_wait_tray_icon) || e2e_fail "no tray icon"
read -r _ ix iy iw ih <<<"$icon"
for ms in 80 250 350; do
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click --repeat 2 --delay "$ms" 1
    main=$(e2e_wait_window '^Tidra!!! Settings$') ||
        e2e_fail "a double click $ms ms apart did not open the settings"
    sleep 0.8 # past the single-click delay: a click taken as single would open its menu now
    e2e_check "no fast-actions menu after a double click $ms ms apart" test -z "$(e2e_visible_menu)"
    e2e_press_key "$main" Escape
    e2e_check "Escape puts the settings away" e2e_wait e2e_window_gone '^Tidra!!! Settings$'
done

e2e_menu 1 Down Return # "Add New Alarm", proposed for 11:00
editor=$(e2e_wait_window '^Alarm$') || e2e_fail "no alarm editor"
xdotool windowfocus --sync "$editor" type --delay 20 "Keys"
xdotool key alt+m && xdotool type --delay 20 "typed, not clicked" && xdotool key alt+p
added() { # for 11:00, with the message typed
    grep -A17 -x Keys "$DATA/Alarms" | tr '\n' ' ' | grep -q "^Keys 1 2026 07 12 11 00 .*typed, not"
}
e2e_check "Alt+P stores the alarm for 11:00 with its message" e2e_wait added

e2e_set_clock "2026-12-07 11:00:02"
e2e_ringing "the new alarm"
e2e_check "the pop-up does not take the focus" test "$(xdotool getwindowfocus)" != "$POPUP"
e2e_menu 3 Down Down Down Return # "Show alarm pop-ups"
e2e_check "\"Show alarm pop-ups\" gives it the focus" e2e_wait focused "$POPUP"
e2e_check "Escape puts it away" e2e_dismiss "$POPUP" Escape

# Suspended at 12:05, resumed at 12:45.
e2e_set_clock "2026-12-07 12:45:00"
e2e_check "three pop-ups on resume" e2e_wait popups_are 3

e2e_menu 3 Down Down Return # "Alarms"
main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "no alarms page"
e2e_check "the main window has the focus" e2e_wait focused "$main"
count() { test "$(grep -cx 'Alarm end' "$DATA/Alarms")" = "$1"; }
xdotool key Delete
e2e_check "Delete removes one of the four from disk" e2e_wait count 3
e2e_pass
