#!/usr/bin/env bash
# A timer added from the tray shows its window and, when its end passes,
# the "finished" pop-up. The program's clock is moved with libfaketime, so
# nothing waits for an hour.
source "$(dirname "$0")/lib.sh"
e2e_init timers
e2e_start_x 1280x800
e2e_start_tray

faketime_lib=""
for f in /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -e "$f" ] && faketime_lib=$f && break
done
[ -n "$faketime_lib" ] || e2e_fail "libfaketime is missing (apt-get install faketime)"

mkdir -p "$XDG_CONFIG_HOME/Morvane" "$HOME/.Tidra"
cat >"$XDG_CONFIG_HOME/Morvane/Tidra.conf" <<'CONF'
[tray]
leftClick=4
showOnStartUp=false

[alarms]
DisplayTime=180

[timers]
AlarmEnabled=true
PlaySound=false
CONF

# The offset is read from a file, so the test can move the clock later.
clockfile="$E2E_TMP/faketime"
echo "+0" >"$clockfile"
export LD_PRELOAD="$faketime_lib" FAKETIME_TIMESTAMP_FILE="$clockfile" FAKETIME_CACHE_DURATION=1
# Qt's own timers keep real time; only the wall clock jumps.
export FAKETIME_DONT_FAKE_MONOTONIC=1
e2e_start_tidra
unset LD_PRELOAD FAKETIME_TIMESTAMP_FILE FAKETIME_CACHE_DURATION FAKETIME_DONT_FAKE_MONOTONIC

e2e_check "the tray icon appears" e2e_wait_tray_icon

# A left click is set to "Add New Timer": the editor opens.
e2e_click_tray_icon 1
editor=$(e2e_wait_window '^Timer/Stopwatch$') || e2e_fail "no timer editor"
e2e_screenshot editor
# The name field has the focus; Return applies (one hour ahead, the default).
xdotool windowfocus --sync "$editor" type --delay 20 "Tea"
xdotool key Return
e2e_check "the editor closes" e2e_wait e2e_window_gone '^Timer/Stopwatch$'
timer=$(e2e_wait_window '^Tea$') || e2e_fail "no timer window"
e2e_screenshot timer-window
geo=$(xwininfo -id "$timer")
tw=$(awk '/Width:/ {print $2}' <<<"$geo")
th=$(awk '/Height:/ {print $2}' <<<"$geo")
e2e_check "the timer window shows name and digits" test "$tw" -gt 60 -a "$th" -gt 30
e2e_check "no pop-up before the end" e2e_window_gone '^Alarm$'

# Past the end: the window stays, and the finished pop-up opens.
echo "+3700" >"$clockfile"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "no finished pop-up"
e2e_screenshot finished
geo=$(xwininfo -id "$popup")
px=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geo")
py=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geo")
pw=$(awk '/Width:/ {print $2}' <<<"$geo")
ph=$(awk '/Height:/ {print $2}' <<<"$geo")
e2e_check "the pop-up sits in the bottom-right corner" \
    test $((px + pw)) -ge 1270 -a $((py + ph)) -ge 790
e2e_check "the timer window is still shown" test -n "$(e2e_find_window '^Tea$')"
e2e_check "the program keeps running" kill -0 "$TIDRA_PID"
e2e_pass
