#!/usr/bin/env bash
# An alarm added from the tray fires its pop-up when its moment passes, and
# "Remind later" -> "5 Minutes" from the pop-up's menu brings it back five
# minutes on. The program's clock is moved with libfaketime.
source "$(dirname "$0")/lib.sh"
e2e_init alarms
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
leftClick=3
showOnStartUp=false

[alarms]
DisplayTime=180
SimpleForm=false
PlaySound=false
CONF

clockfile="$E2E_TMP/faketime"
echo "+0" >"$clockfile"
export LD_PRELOAD="$faketime_lib" FAKETIME_TIMESTAMP_FILE="$clockfile" FAKETIME_CACHE_DURATION=1
export FAKETIME_DONT_FAKE_MONOTONIC=1
e2e_start_tidra
unset LD_PRELOAD FAKETIME_TIMESTAMP_FILE FAKETIME_CACHE_DURATION FAKETIME_DONT_FAKE_MONOTONIC

e2e_check "the tray icon appears" e2e_wait_tray_icon

# A left click is set to "Add New Alarm": the editor opens with the name focused.
e2e_click_tray_icon 1
editor=$(e2e_wait_window '^Alarm$') || e2e_fail "no alarm editor"
e2e_screenshot editor
xdotool windowfocus --sync "$editor" type --delay 20 "Stretch"
xdotool key Return # applies: one hour ahead, the proposal
e2e_check "the editor closes" e2e_wait e2e_window_gone '^Alarm$'

# Nothing shows until the moment has passed.
sleep 1
e2e_check "no pop-up before its moment" e2e_window_gone '^Alarm$'

echo "+3700" >"$clockfile"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the alarm did not fire"
e2e_screenshot fired
geo=$(xwininfo -id "$popup")
px=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geo")
py=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geo")
pw=$(awk '/Width:/ {print $2}' <<<"$geo")
ph=$(awk '/Height:/ {print $2}' <<<"$geo")
e2e_check "the pop-up sits in the bottom-right corner" test $((px + pw)) -eq 1280 -a $((py + ph)) -eq 800

# The context menu: "&Remind later..." by its mnemonic, then the first entry, "5 Minutes".
xdotool mousemove $((px + pw / 2)) $((py + ph - 20)) click 3
e2e_check "the pop-up's menu opens" e2e_wait e2e_visible_menu
e2e_screenshot menu
xdotool key r
sleep 0.5
e2e_screenshot remind-menu
xdotool key Return
e2e_check "postponing hides the pop-up" e2e_wait e2e_window_gone '^Alarm$'

# Three minutes on it stays away; past five it is back.
echo "+3880" >"$clockfile"
sleep 2
e2e_check "no reminder before five minutes" e2e_window_gone '^Alarm$'
echo "+4080" >"$clockfile"
E2E_TIMEOUT=20 e2e_wait_window '^Alarm$' >/dev/null || e2e_fail "the reminder did not come"
e2e_screenshot reminded
e2e_check "the program keeps running" kill -0 "$TIDRA_PID"
e2e_pass
