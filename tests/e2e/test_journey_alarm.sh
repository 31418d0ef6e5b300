#!/usr/bin/env bash
# An alarm's life through the real widgets. First the tray icon's clicks:
# real double clicks at 80, 250 and 350 ms each open the settings once, and
# the click after them acts as a click. Then an alarm made from the fast-actions
# menu, a daily one made in the editor of the alarms page. The first rings at
# its minute (pop-up in the corner, its sound loaded), is put off five minutes
# from its menu and comes back; the daily one rings and moves on to tomorrow,
# and after a restart it rings again the next day.
source "$(dirname "$0")/lib.sh"
e2e_init journey_alarm
export TZ=Europe/Berlin
e2e_start_x 1280x800
e2e_start_tray

data=$HOME/.Tidra
mkdir -p "$data" "$XDG_CONFIG_HOME/Morvane"
sound=$HOME/chime.wav
python3 -c 'import sys, wave
w = wave.open(sys.argv[1], "wb"); w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.writeframes(b"\0\0" * 800); w.close()' "$sound"
cat >"$XDG_CONFIG_HOME/Morvane/Tidra.conf" <<CONF
[tray]
showOnStartUp=false

[alarms]
DisplayTime=180
PlaySound=true
SoundFileName=$sound
CONF
e2e_watch_opens "$sound" "$E2E_TMP/sound.log"
sounds() { grep -c . "$E2E_TMP/sound.log"; }

# Monday 10:00: new alarms are proposed for 11:00.
e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon

# --- double clicks at three speeds, within the desktop's double-click interval ---
read -r _ ix iy iw ih <<<"$(e2e_tray_icon)"
for ms in 80 250 350; do
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click --repeat 2 --delay "$ms" 1
    main=$(e2e_wait_window '^Tidra!!! Settings$') ||
        e2e_fail "a double click $ms ms apart did not open the settings"
    sleep 0.8 # past the single-click delay: a click taken as single would open its menu now
    e2e_check "no fast-actions menu after a double click $ms ms apart" test -z "$(e2e_visible_menu)"
    e2e_press_key "$main" Escape
    e2e_check "Escape puts the settings away" e2e_wait e2e_window_gone '^Tidra!!! Settings$'
done

# --- the fast way: a left click right after, "Add New Alarm", a name, Return ---
e2e_pick_fast alarm
editor=$(e2e_wait_window '^Alarm$') || e2e_fail "no alarm editor from the fast-actions menu"
xdotool windowfocus --sync "$editor" type --delay 20 "Stretch"
e2e_press_key "$editor" Return
e2e_check "the editor closes on Return" e2e_wait e2e_window_gone '^Alarm$'
stretch_saved() { grep -qx Stretch "$data/Alarms"; }
e2e_check "the new alarm is on disk" e2e_wait stretch_saved

# --- the editor of the alarms page: daily, an hour later ---
e2e_pick_main alarms
main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "no alarms page"
e2e_click_at "$main" 112 350 # the add button under the list
editor=$(e2e_wait_window '^Alarm$') || e2e_fail "no alarm editor from the alarms page"
xdotool windowfocus --sync "$editor" type --delay 20 "Standup"
e2e_click_at "$editor" 268 50 # hours of the time
xdotool key Up               # 12:00
e2e_click_at "$editor" 128 78 # mode: "Repeat every ..."
sleep 0.3
xdotool key Down Return
e2e_click_at "$editor" 104 110 # unit: Days
sleep 0.3
xdotool key Down Down Return
e2e_screenshot daily-editor
e2e_press_key "$editor" Return
e2e_check "the daily alarm is accepted" e2e_wait e2e_window_gone '^Alarm$'
# Its record: name, enabled, 2026, 07, 12, 12:00, every 1 ... Days (unit 2).
daily_on() { grep -A17 -x Standup "$data/Alarms" | tr '\n' ' ' | grep -q "^Standup 1 2026 $1 12 12 00 1 1 0 0 0 0 0 0 0 2 "; }
e2e_check "the daily alarm is on disk for Monday 12:00" e2e_wait daily_on 07
e2e_screenshot alarms-page
e2e_press_key "$main" Escape

# --- it rings at its minute, not before ---
e2e_set_clock "2026-12-07 10:59:45"
sleep 2
e2e_check "no pop-up before 11:00" e2e_window_gone '^Alarm$'
e2e_check "no sound before 11:00" test "$(sounds)" = 0
e2e_set_clock "2026-12-07 11:00:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the alarm did not ring at 11:00"
e2e_screenshot rung
read -r px py pw ph <<<"$(e2e_geometry "$popup")"
e2e_check "the pop-up sits in the bottom-right corner" test $((px + pw)) = 1280 -a $((py + ph)) = 800
sounds_at_least() { test "$(sounds)" -ge "$1"; }
e2e_check "its sound was loaded" e2e_wait sounds_at_least 1

# --- "Remind later" -> "5 Minutes" from the pop-up's menu ---
e2e_click_at "$popup" $((pw / 2)) -20 3
menu=$(E2E_TIMEOUT=5 e2e_wait e2e_visible_menu && e2e_visible_menu) || e2e_fail "the pop-up's menu did not open"
e2e_press_key "${menu%% *}" r # "&Remind later..."
sleep 0.5
e2e_screenshot remind-menu
xdotool key Return # its first entry, "5 Minutes"
e2e_check "putting it off hides the pop-up" e2e_wait e2e_window_gone '^Alarm$'
e2e_set_clock "2026-12-07 11:03:30"
sleep 2
e2e_check "no reminder after three minutes" e2e_window_gone '^Alarm$'
e2e_set_clock "2026-12-07 11:05:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the reminder did not come at 11:05"
e2e_screenshot reminded
e2e_check "Escape puts the pop-up away" e2e_dismiss "$popup" Escape
stretch_spent() { grep -A1 -x Stretch "$data/Alarms" | tail -n1 | grep -qx 0; }
e2e_check "the spent one-time alarm is stored disabled" e2e_wait stretch_spent

# --- the daily alarm rings at 12:00 and moves on to Tuesday ---
e2e_set_clock "2026-12-07 12:00:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the daily alarm did not ring"
e2e_check "the daily alarm moved on to Tuesday on disk" e2e_wait daily_on 08
e2e_dismiss "$popup" Escape

# --- a restart keeps it: it rings again on Tuesday ---
kill -TERM "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "SIGTERM did not end the program"
e2e_check "SIGTERM ends the program with 0" test "$E2E_RC" = 0
e2e_set_clock "2026-12-08 11:59:00"
e2e_start_tidra
e2e_check "the tray icon appears again" e2e_wait_tray_icon
e2e_check "nothing rings before its minute" e2e_window_gone '^Alarm$'
e2e_set_clock "2026-12-08 12:00:02"
E2E_TIMEOUT=20 e2e_wait_window '^Alarm$' >/dev/null || e2e_fail "the daily alarm did not ring after the restart"
e2e_check "and moved on to Wednesday" e2e_wait daily_on 09
e2e_screenshot rung-after-restart
e2e_check "the program keeps running" kill -0 "$TIDRA_PID"
e2e_pass
