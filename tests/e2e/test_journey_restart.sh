#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a user set up survives a restart and reads the same everywhere. With the
# list full (10,000 alarms) a further --alarm is refused and nothing is copied
# aside. An alarm rings without taking the focus; put off from its pop-up's
# keyboard menu, it shows its reminder in --list. After --quit and a restart the
# reminder is kept and rings, and the finished countdown is listed as before, to
# the second, is back at its centre and does not ring again.
source "$(dirname "$0")/lib.sh"
e2e_desktop journey_restart
mkdir -p "$DATA"
e2e_conf '[tray]' showOnStartUp=false '[alarms]' DisplayTime=300 PlaySound=false \
    '[timers]' PlaySound=false
{
    for i in $(seq 9999); do
        e2e_block Alarm "Later $i" "1 2099 01 02 08 30 0 0 0 0 0 0 0 0 0 0"
    done
    e2e_block Alarm Tea "1 2026 07 12 10 30 0 0 0 0 0 0 0 0 0 0"
} >"$DATA/Alarms"
listed() { e2e_command --list; grep -qxF "$1" <<<"$E2E_OUT"; }
alarms_listed() { e2e_command --list; test "$(grep -c $'^alarm\t' <<<"$E2E_OUT")" = "$1"; }
centre() { e2e_geometry "$1" | awk '{ print $1 + int($3 / 2), $2 + int($4 / 2) }'; }
back_at() { # WINDOW "X Y": its centre is there, within a pixel (halves of odd sizes)
    centre "$1" | awk -v w="$2" '{ split(w, c); exit !(($1 - c[1])^2 <= 1 && ($2 - c[2])^2 <= 1) }'
}
e2e_fake_clock "2026-12-07 10:20:00"
e2e_start_tidra
e2e_check "all 10,000 alarms are read" e2e_wait alarms_listed 10000
e2e_command --alarm +1h Extra
e2e_check "a further alarm is refused, saying why" grep -q '^1 .*at most 10,000 alarms' \
    <<<"$E2E_RC $E2E_ERR"
e2e_check "and nothing is added" alarms_listed 10000

e2e_command --timer 1s Egg
egg=$(e2e_wait_window '^Egg$') || e2e_fail "no window for the countdown"
e2e_set_clock "2026-12-07 10:20:30"
e2e_ringing "the finished timer"
e2e_dismiss "$POPUP" Escape
egg_line=$(e2e_command --list && grep -P '^timer\tEgg\t' <<<"$E2E_OUT")
e2e_check "the finished countdown is listed as finished" \
    grep -qP '^timer\tEgg\tfinished\t2026-12-07T10:20:\d\d\+01:00\tshown\tnone$' <<<"$egg_line"
e2e_set_clock "2026-12-07 10:30:02"
e2e_ringing "Tea"
e2e_check "the pop-up does not take the focus" test "$(xdotool getwindowfocus)" != "$POPUP"
# Put off from the pop-up's keyboard menu, by five minutes.
e2e_command --show popups
xdotool key shift+F10
E2E_TIMEOUT=5 e2e_wait e2e_visible_menu Tidra || e2e_fail "Shift+F10 did not open its menu"
xdotool key r && sleep 0.5 && xdotool key Return
e2e_wait e2e_window_gone '^Alarm$' || e2e_fail "putting it off did not hide the pop-up"
reminder=$'alarm\tTea\t2026-12-07T10:35:00+01:00\tonce\t2026-12-07T10:35:00+01:00'
e2e_check "--list shows the reminder" e2e_wait listed "$reminder"

egg_centre=$(centre "$egg")
e2e_command --quit
e2e_check "--quit returns once Tidra is gone" test "$E2E_RC" = 0 -a -z "$(e2e_find_window '^Egg$')"
e2e_start_tidra
e2e_wait alarms_listed 10000 || e2e_fail "Tidra did not come back with its alarms"
e2e_check "the reminder is back after a restart" listed "$reminder"
e2e_check "no copy aside" test "$(ls "$DATA" | xargs)" = "Alarms Timers WorkSchedule WorkTimers"
egg=$(e2e_wait_window '^Egg$') || e2e_fail "the finished countdown did not come back"
e2e_check "the finished countdown is back at its place" e2e_wait back_at "$egg" "$egg_centre"
e2e_check "the finished countdown does not ring again" e2e_window_gone '^Alarm$'
e2e_check "and is listed as before, to the second" listed "$egg_line"
e2e_set_clock "2026-12-07 10:35:02"
e2e_ringing "the reminder after a restart"
e2e_check "and is taken" e2e_wait listed $'alarm\tTea\tdisabled\tonce\tnone'
e2e_pass
