#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starting and ending: without a tray the program says so, writes nothing and
# ends on SIGTERM even while it waits; a first start (two at once: one stays)
# welcomes at the tray icon, registers with the session and stores defaults; a
# second start is refused and writes nothing; prepared files load, a change is
# on disk at once (kill -9 loses nothing), windows come back where they were;
# SIGTERM and "Quit" write everything; a data folder that cannot be made is
# told, and SIGTERM still ends the program orderly.
source "$(dirname "$0")/lib.sh"
e2e_init journey_quit
e2e_start_x 1280x800
conf=$XDG_CONFIG_HOME/Morvane/Tidra.conf
entry=$XDG_CONFIG_HOME/autostart/Tidra.desktop
data=$HOME/.Tidra
lock=$XDG_RUNTIME_DIR/Tidra.lock
files="Alarms Timers WorkTimers WorkSchedule"
same_files() { for f in $files; do cmp -s "$data/$f" "$1/$f" || return 1; done; }
term() { # pid exit-code what: SIGTERM ends it with that code
    kill -TERM "$1"
    e2e_wait_exit "$1" 10 || e2e_fail "SIGTERM did not end the program $3"
    e2e_check "SIGTERM $3 exits with $2" test "$E2E_RC" = "$2"
}

# --- no tray: SIGTERM while waiting for one, and while its message is up ---
e2e_start_tidra
sleep 1
term "$TIDRA_PID" 0 "while waiting for a tray"
e2e_start_tidra
E2E_TIMEOUT=20 e2e_wait_window '^Tidra$' >/dev/null || e2e_fail "no missing-tray message"
e2e_check "no settings window without a tray" e2e_window_gone '^Tidra!!! Settings$'
term "$TIDRA_PID" 1 "during the missing-tray message"
e2e_check "nothing was written without a tray" test ! -e "$conf" -a ! -e "$data" -a ! -e "$entry"

# --- first start, twice at the same moment: exactly one stays ---
e2e_start_tray
e2e_start_tidra
e2e_run_tidra other
icon=$(e2e_wait_tray_icon) || e2e_fail "no tray icon"
box=$(e2e_wait_window '^Tidra$') || e2e_fail "no one-instance message"
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
e2e_check "the settings window shows on a first start" e2e_wait_window '^Tidra!!! Settings$'
balloon=$(e2e_wait e2e_balloon && e2e_balloon) || e2e_fail "no welcome balloon"
e2e_screenshot first-start
read -r _ ix _ iw _ <<<"$icon"
read -r _ bx by bw _ <<<"$balloon"
e2e_check "the balloon points at the tray icon" test "$bx" -le "$ix" -a $((bx + bw)) -ge $((ix + iw / 2)) -a "$by" -le 60
e2e_check "the first start registers with the session" e2e_wait test -f "$entry"
e2e_check "the entry starts this program" grep -q "^Exec=\"$TIDRA_BIN\"$" "$entry"
e2e_check "the defaults are stored" e2e_wait grep -q '^leftClick=1$' "$conf"

# A second start is refused, also when SIGTERM ends it at its message, and touches no file.
stamps() { stat -c '%n %Y %s' "$data"/* "$conf" 2>/dev/null; }
before=$(stamps)
e2e_run_tidra second
e2e_wait_window '^Tidra$' >/dev/null || e2e_fail "no one-instance message"
term "$second" 0 "during the one-instance message"
e2e_check "the second start wrote nothing" test "$(stamps)" = "$before"
e2e_check "the first instance keeps running" kill -0 "$TIDRA_PID"
term "$TIDRA_PID" 0 "of the running program"
e2e_check "SIGTERM wrote every file" test -f "$data/Alarms" -a -f "$data/WorkSchedule" -a -s "$conf"
e2e_check "the lock was released" test ! -e "$lock"

# --- prepared files: a daily alarm whose moment passed at midnight fires at
# start-up and moves on to tomorrow; the far one stays; windows by their centres ---
ymd() { date -d "$1" '+%Y%n%d%n%m'; }
alarm_block() { # name date-lines hour minute message
    printf 'Alarm\n%s\n1\n%s\n%s\n%s\n1\n1\n0\n0\n0\n0\n0\n0\n0\n2\n%s\nAlarm end\n' "$@"
}
alarm_block "Daily standup" "$(ymd yesterday)" 00 00 "Stand up" >"$data/Alarms"
alarm_block "Far future" $'2099\n01\n02' 08 30 Once | sed '9,10s/1/0/;18s/2/0/' >>"$data/Alarms"
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
printf '[tray]\nshowOnStartUp=false\n' >"$conf"
centre_of() { # window title -> "x y" of its centre
    local x y w h
    read -r x y w h <<<"$(e2e_geometry "$(e2e_wait_window "^$1\$")")" || return 1
    echo "$((x + w / 2)) $((y + h / 2))"
}

e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon
moved=$(alarm_block "Daily standup" "$(ymd tomorrow)" 00 00 "Stand up"; sed -n '21,$p' "$E2E_TMP/prepared/Alarms")
alarms_moved() { [ "$(cat "$data/Alarms")" = "$moved" ]; }
e2e_check "the fired alarm is on disk with its next occurrence" e2e_wait alarms_moved
e2e_check "the stopwatch window is back at its centre" test "$(centre_of 'Tea break')" = "640 300"
e2e_check "the hidden timer stays hidden" e2e_window_gone '^Hidden countdown$'
e2e_check "no settings window when told so" e2e_window_gone '^Tidra!!! Settings$'
no_balloon() { ! e2e_balloon >/dev/null; }
e2e_check "no welcome balloon once the data folder is there" no_balloon
e2e_screenshot before-kill
kill -9 "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "kill -9 did not end the program"
e2e_check "the alarm survived kill -9" alarms_moved
e2e_check "the other files are as prepared" cmp -s "$data/Timers" "$E2E_TMP/prepared/Timers"
e2e_check "no temporary file was left" test "$(ls -A "$data" | wc -l)" = 4

# --- "Quit" from the tray's main menu writes everything ---
e2e_start_tidra
e2e_check "the tray icon appears again" e2e_wait_tray_icon
e2e_check "the stopwatch came back at its place" test "$(centre_of 'Tea break')" = "640 300"
cp -r "$data" "$E2E_TMP/running"
rm -f "$data"/* "$conf"
e2e_pick_main quit
e2e_wait_exit "$TIDRA_PID" || e2e_fail "Quit did not end the program"
e2e_check "Quit exits with 0" test "$E2E_RC" = 0
e2e_check "Quit wrote every file back unchanged" same_files "$E2E_TMP/running"
e2e_check "Quit wrote the settings" grep -q '^leftClick=1$' "$conf"
e2e_check "the lock was released after Quit" test ! -e "$lock"

# --- the data folder cannot be made: "Settings Error", then SIGTERM ---
rm -rf "$data"
touch "$data"
printf '[tray]\nshowOnStartUp=false\n' >"$conf"
e2e_start_tidra
E2E_TIMEOUT=20 e2e_wait_window '^Settings Error$' >/dev/null || e2e_fail "no settings error"
e2e_screenshot settings-error
term "$TIDRA_PID" 0 "during the settings error"
e2e_check "the settings were written on the way out" grep -q '^leftClick=1$' "$conf"
e2e_pass
