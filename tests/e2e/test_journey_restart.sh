#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a user set up survives a restart and reads the same everywhere: with the
# list full (10,000 alarms) a further --alarm is refused and nothing is lost or
# copied aside; a finished timer's pop-up put off from its keyboard menu comes
# back; an alarm put off so shows its reminder in --list, keeps it over a
# restart and rings at it.
source "$(dirname "$0")/lib.sh"
e2e_init journey_restart
e2e_start_x
e2e_start_tray
mkdir -p "$DATA"
e2e_conf '[tray]' showOnStartUp=false '[alarms]' DisplayTime=300 PlaySound=false \
    '[timers]' PlaySound=false
{
    for i in $(seq 9999); do
        e2e_block Alarm "Later $i" "1 2099 01 02 08 30 0 0 0 0 0 0 0 0 0 0"
    done
    e2e_block Alarm Tea "1 2026 07 12 10 30 0 0 0 0 0 0 0 0 0 0"
} >"$DATA/Alarms"
alarms_listed() { e2e_command --list; test "$(grep -c $'^alarm\t' <<<"$E2E_OUT")" = "$1"; }
tea_line() { e2e_command --list; grep -qx $'alarm\tTea\t'"$1" <<<"$E2E_OUT"; }
restart() {
    e2e_command --quit
    [ "$E2E_RC" = 0 ] || e2e_fail "--quit said $E2E_RC"
    e2e_wait_exit "$TIDRA_PID" || e2e_fail "Tidra did not end"
    e2e_start_tidra
    e2e_wait alarms_listed 10000 || e2e_fail "Tidra did not come back with its alarms"
}
e2e_fake_clock "2026-12-07 10:20:00"
e2e_start_tidra
e2e_check "all 10,000 alarms are read" e2e_wait alarms_listed 10000

e2e_command --alarm +1h Extra
e2e_check "a further alarm is refused" test "$E2E_RC" = 1
e2e_check "saying why" grep -q 'at most 10,000 alarms' <<<"$E2E_ERR"
e2e_check "and nothing is added" alarms_listed 10000

put_off() { # the newest pop-up, from its keyboard menu, by five minutes
    e2e_command --show popups
    xdotool key shift+F10
    E2E_TIMEOUT=5 e2e_wait e2e_visible_menu Tidra || e2e_fail "Shift+F10 did not open its menu"
    xdotool key r && sleep 0.5 && xdotool key Return
    e2e_wait e2e_window_gone '^Alarm$' || e2e_fail "putting it off did not hide the pop-up"
}
e2e_command --timer 1s Egg
e2e_set_clock "2026-12-07 10:20:30"
e2e_ringing "the finished timer"
put_off
e2e_set_clock "2026-12-07 10:25:02"
e2e_ringing "the finished timer's reminder"
e2e_dismiss "$POPUP" Escape
e2e_set_clock "2026-12-07 10:30:02"
e2e_ringing "Tea"
put_off
reminder=$'2026-12-07T10:35:00+01:00\tonce\t2026-12-07T10:35:00+01:00'
e2e_check "--list shows the reminder" e2e_wait tea_line "$reminder"
e2e_check "the file keeps it" e2e_wait grep -q '^Reminder 2026-12-07T09:35:00.000Z popup 300$' \
    "$DATA/Alarms"

restart
e2e_check "the reminder is back after a restart" tea_line "$reminder"
e2e_check "no copy of the full file was kept" test -z "$(ls "$DATA" | grep -v -x -e Alarms \
    -e Timers -e WorkTimers -e WorkSchedule)"
e2e_set_clock "2026-12-07 10:35:02"
e2e_ringing "the reminder after a restart"
e2e_check "and is taken" e2e_wait tea_line $'disabled\tonce\tnone'
e2e_pass
