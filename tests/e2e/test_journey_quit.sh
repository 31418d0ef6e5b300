#!/usr/bin/env bash
# Ending and starting again: prepared files load, a change is on disk at once
# (so kill -9 loses nothing), windows come back where they were, a second
# start (also one at the same moment) is refused and writes nothing, SIGTERM
# and "Quit" from the tray menu both write everything, and without a tray the
# program says so and writes nothing.
source "$(dirname "$0")/lib.sh"
e2e_init journey_quit
e2e_start_x 1280x800
e2e_start_tray
conf=$XDG_CONFIG_HOME/Morvane/Tidra.conf

data="$HOME/.Tidra"
mkdir -p "$data"
chmod 700 "$data"

ymd() { date -d "$1" '+%Y%n%d%n%m'; }

# A daily alarm whose last moment passed at midnight: it fires at start-up and
# moves on to tomorrow. The other alarm lies far ahead and stays as it is.
alarm_block() { # name date-lines message
    printf 'Alarm\n%s\n1\n%s\n00\n00\n1\n1\n0\n0\n0\n0\n0\n0\n0\n2\n%s\nAlarm end\n' "$1" "$2" "$3"
}
far_alarm='Alarm
Far future
1
2099
01
02
08
30
0
0
0
0
0
0
0
0
0
0
Once
Alarm end'
alarm_block "Daily standup" "$(ymd yesterday)" "Stand up" >"$data/Alarms"
printf '%s\n' "$far_alarm" >>"$data/Alarms"
timer_block() { # name type date-lines visible x y
    printf 'Timer\n%s\n%s\n%s\n09\n15\n0\n0\n1\n1\n1\n1\n0\n0\n%s\n%s\n%s\nTimer end\n' "$@"
}
{
    timer_block "Tea break" 1 "$(ymd yesterday)" 1 640 300
    timer_block "Hidden countdown" 0 $'2099\n31\n12' 0 300 500
} >"$data/Timers"
printf '400\n600\n500\n600\n600\n600\n700\n600\n' >"$data/WorkTimers"
printf 'New Year\n0\n2099\n01\n01\n2099\n01\n01\nSea\n1\n2099\n01\n08\n2099\n14\n08\n' >"$data/WorkSchedule"
cp -r "$data" "$E2E_TMP/prepared"

centre_of() { # window title -> "x y" of its centre
    local id x y w h
    id=$(e2e_wait_window "^$1\$") || return 1
    read -r x y w h <<<"$(e2e_geometry "$id")" || return 1
    echo "$((x + w / 2)) $((y + h / 2))"
}

# --- first run, two starts at the same moment: exactly one stays ---
e2e_start_tidra
e2e_run_tidra other
e2e_check "the tray icon appears" e2e_wait_tray_icon
box=$(e2e_wait_window '^Tidra$') || e2e_fail "no one-instance message"
e2e_screenshot one-instance-message
e2e_check "the one-instance message can be answered" e2e_dismiss "$box"
first_rc=""
for pid in "$TIDRA_PID" "$other"; do
    if e2e_wait_exit "$pid" 5; then
        [ -z "$first_rc" ] || e2e_fail "both starts ended"
        first_rc=$E2E_RC
        [ "$pid" = "$TIDRA_PID" ] && TIDRA_PID=$other
    fi
done
e2e_check "the refused start exits with 0" test "$first_rc" = 0
e2e_check "the other start keeps running" kill -0 "$TIDRA_PID"

# The due alarm fires and is written back at once.
moved=$(alarm_block "Daily standup" "$(ymd tomorrow)" "Stand up"; printf '%s\n' "$far_alarm")
alarms_moved() { [ "$(cat "$data/Alarms")" = "$moved" ]; }
e2e_check "the fired alarm is on disk with its next occurrence" e2e_wait alarms_moved
e2e_check "the timers file is as it was" cmp -s "$data/Timers" "$E2E_TMP/prepared/Timers"
e2e_check "the stopwatch window is back at its centre" test "$(centre_of 'Tea break')" = "640 300"
e2e_check "the hidden timer stays hidden" e2e_window_gone '^Hidden countdown$'
e2e_screenshot before-restart

# The fired alarm is on disk already, so a kill -9 now loses nothing.
kill -9 "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "kill -9 did not end the program"
e2e_check "the alarm survived kill -9" alarms_moved
e2e_check "the work places survived" cmp -s "$data/WorkTimers" "$E2E_TMP/prepared/WorkTimers"
e2e_check "the holidays survived" cmp -s "$data/WorkSchedule" "$E2E_TMP/prepared/WorkSchedule"
e2e_check "no temporary file was left" test "$(ls -A "$data" | wc -l)" = 4

# --- second run: everything where it was left ---
e2e_start_tidra
e2e_check "the tray icon appears again" e2e_wait_tray_icon
e2e_check "the stopwatch came back at its place" test "$(centre_of 'Tea break')" = "640 300"
e2e_screenshot after-restart
cp -r "$data" "$E2E_TMP/running"
before=$(stat -c '%n %Y %s' "$data"/*)

# A second start is refused and touches no file.
e2e_run_tidra second
box=$(e2e_wait_window '^Tidra$') || e2e_fail "no one-instance message"
e2e_dismiss "$box" || e2e_fail "the one-instance message did not close"
e2e_wait_exit "$second" || e2e_fail "the second start did not end"
e2e_check "the refused second start exits with 0" test "$E2E_RC" = 0
e2e_check "the second start wrote nothing" test "$(stat -c '%n %Y %s' "$data"/*)" = "$before"

# SIGTERM takes the way of Quit: every file is written again, unchanged.
rm -f "$data"/*
kill -TERM "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "SIGTERM did not end the program"
e2e_check "SIGTERM ends the program with 0, like Quit" test "$E2E_RC" = 0
for f in Alarms Timers WorkTimers WorkSchedule; do
    e2e_check "SIGTERM wrote $f back unchanged" cmp -s "$data/$f" "$E2E_TMP/running/$f"
done
e2e_check "the settings were written too" test -s "$conf"
e2e_check "the lock was released" test ! -e "$XDG_RUNTIME_DIR/Tidra.lock"

# --- third run: "Quit" from the tray's main menu writes everything too ---
e2e_start_tidra
e2e_check "the tray icon appears for the third run" e2e_wait_tray_icon
e2e_check "the stopwatch came back once more" test "$(centre_of 'Tea break')" = "640 300"
rm -f "$data"/* "$conf"
e2e_pick_main quit
e2e_wait_exit "$TIDRA_PID" || e2e_fail "Quit did not end the program"
e2e_check "Quit exits with 0" test "$E2E_RC" = 0
for f in Alarms Timers WorkTimers WorkSchedule; do
    e2e_check "Quit wrote $f back unchanged" cmp -s "$data/$f" "$E2E_TMP/running/$f"
done
e2e_check "Quit wrote the settings" grep -q '^leftClick=1$' "$conf"
e2e_check "the lock was released after Quit" test ! -e "$XDG_RUNTIME_DIR/Tidra.lock"

# --- a desktop without a tray: the message, exit code 1, nothing written ---
e2e_stop_tray
rm -f "$conf"
cp -r "$data" "$E2E_TMP/before-no-tray"
e2e_start_tidra
box=$(E2E_TIMEOUT=20 e2e_wait_window '^Tidra$') || e2e_fail "no missing-tray message"
e2e_screenshot no-tray-message
e2e_check "no settings window without a tray" e2e_window_gone '^Tidra!!! Settings$'
e2e_check "the missing-tray message can be answered" e2e_dismiss "$box"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "the program did not end without a tray"
e2e_check "no tray gives exit code 1" test "$E2E_RC" = 1
e2e_check "no settings were written without a tray" test ! -e "$conf"
e2e_check "no event file was touched without a tray" diff -r "$data" "$E2E_TMP/before-no-tray"
e2e_pass
