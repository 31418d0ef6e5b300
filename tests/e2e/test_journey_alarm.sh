#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An alarm's life on a real desktop. Double clicks on the tray icon at 80, 250
# and 350 ms each open the settings once; the click after them opens the
# fast-actions menu, which makes an alarm. It rings in the corner with its
# sound, is put off from its menu and comes back. A daily alarm from the file
# rings, moves on, and rings again after a restart. Three alarms jumped over
# by a suspend ring once each, however often the resume is heard.
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
printf '[tray]\nshowOnStartUp=false\n[alarms]\nDisplayTime=300\nPlaySound=true\nSoundFileName=%s\n' \
    "$sound" >"$XDG_CONFIG_HOME/Morvane/Tidra.conf"
# name, on, year, day, month, hour, minute, range, mode, seven days, unit: daily at
# 12:00 from Monday 7 December; once on Tuesday at 12:10, 12:20, 12:30.
{
    printf 'Alarm\nStandup\n1\n2026\n07\n12\n12\n00\n1\n1\n0\n0\n0\n0\n0\n0\n0\n2\nAlarm end\n'
    for m in 10 20 30; do
        printf 'Alarm\nNap %s\n1\n2026\n08\n12\n12\n%s\n1\n0\n0\n0\n0\n0\n0\n0\n0\n0\nAlarm end\n' "$m" "$m"
    done
} >"$data/Alarms"
e2e_watch_opens "$sound" "$E2E_TMP/sound.log"
sounds() { grep -c . "$E2E_TMP/sound.log"; }
sounds_at_least() { test "$(sounds)" -ge "$1"; }
popups_are() { test "$(e2e_find_window '^Alarm$' | grep -c .)" = "$1"; }
stored() { grep -A"$2" -x "$1" "$data/Alarms" | tail -n1 | grep -qx "$3"; } # NAME LINE VALUE

e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon

read -r _ ix iy iw ih <<<"$(e2e_tray_icon)"
for ms in 80 250 350; do
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click --repeat 2 --delay "$ms" 1
    main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "a double click $ms ms apart did not open the settings"
    sleep 0.8 # past the single-click delay: a click taken as single would open its menu now
    e2e_check "no fast-actions menu after a double click $ms ms apart" test -z "$(e2e_visible_menu)"
    e2e_press_key "$main" Escape
    e2e_check "Escape puts the settings away" e2e_wait e2e_window_gone '^Tidra!!! Settings$'
done

# A click right after: "Add New Alarm" proposes 11:00; a name, Return.
e2e_pick_fast alarm
editor=$(e2e_wait_window '^Alarm$') || e2e_fail "no alarm editor from the fast-actions menu"
xdotool windowfocus --sync "$editor" type --delay 20 "Stretch"
e2e_press_key "$editor" Return
e2e_check "the new alarm is on disk for 11:00" e2e_wait stored Stretch 6 00

e2e_set_clock "2026-12-07 10:59:45"
sleep 2
e2e_check "nothing rings before 11:00" test "$(sounds)" = 0 -a -z "$(e2e_find_window '^Alarm$')"
e2e_set_clock "2026-12-07 11:00:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the alarm did not ring at 11:00"
read -r px py pw ph <<<"$(e2e_geometry "$popup")"
e2e_check "the pop-up sits in the bottom-right corner" test $((px + pw)) = 1280 -a $((py + ph)) = 800
e2e_check "its sound was loaded" e2e_wait sounds_at_least 1

# "Remind later" -> "5 Minutes" from the pop-up's menu, by keyboard.
e2e_click_at "$popup" $((pw / 2)) -20 3
menu=$(E2E_TIMEOUT=5 e2e_wait e2e_visible_menu && e2e_visible_menu) || e2e_fail "the pop-up's menu did not open"
e2e_press_key "${menu%% *}" r
sleep 0.5
xdotool key Return
e2e_check "putting it off hides the pop-up" e2e_wait e2e_window_gone '^Alarm$'
e2e_set_clock "2026-12-07 11:05:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the reminder did not come at 11:05"
e2e_check "Escape puts the pop-up away" e2e_dismiss "$popup" Escape
e2e_check "the spent alarm is stored disabled" e2e_wait stored Stretch 1 0

e2e_set_clock "2026-12-07 12:00:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the daily alarm did not ring"
e2e_check "the daily alarm moved on to Tuesday on disk" e2e_wait stored Standup 3 08
e2e_dismiss "$popup" Escape

kill -TERM "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "SIGTERM did not end the program"
e2e_check "SIGTERM ends the program with 0" test "$E2E_RC" = 0
e2e_set_clock "2026-12-08 11:59:00"
e2e_start_tidra
e2e_check "the tray icon appears again" e2e_wait_tray_icon
e2e_set_clock "2026-12-08 12:00:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the daily alarm did not ring after the restart"
e2e_check "and moved on to Wednesday" e2e_wait stored Standup 3 09
e2e_dismiss "$popup" Escape

# Suspended at 12:05, resumed at 12:45; then the resume is heard again.
e2e_set_clock "2026-12-08 12:45:00"
e2e_check "three pop-ups on resume" e2e_wait popups_are 3
for m in 10 20 30; do
    e2e_check "Nap $m is spent on disk" e2e_wait stored "Nap $m" 1 0
done
e2e_screenshot resumed
e2e_set_clock "2026-12-08 12:45:05"
e2e_set_clock "2026-12-08 12:46:00"
sleep 2
e2e_check "still three pop-ups" popups_are 3
e2e_check "the program keeps running" kill -0 "$TIDRA_PID"
e2e_pass
