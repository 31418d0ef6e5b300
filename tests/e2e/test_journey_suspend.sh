#!/usr/bin/env bash
# Three alarms fall due while the machine sleeps: the wall clock jumps past
# all three, and on resume each rings once. Hearing of the resume again, or
# of a further small jump, rings none of them a second time.
source "$(dirname "$0")/lib.sh"
e2e_init journey_suspend
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
DisplayTime=300
PlaySound=true
SoundFileName=$sound
CONF
# One-time alarms at 23:10, 23:20 and 23:30 (name, on, date, time, once).
for m in 10 20 30; do
    printf 'Alarm\nNight %s\n1\n2026\n07\n12\n23\n%s\n1\n0\n0\n0\n0\n0\n0\n0\n0\n0\nAlarm end\n' "$m" "$m"
done >"$data/Alarms"
e2e_watch_opens "$sound" "$E2E_TMP/sound.log"
sounds() { grep -c . "$E2E_TMP/sound.log"; }
popups() { e2e_find_window '^Alarm$' | grep -c .; }
# Counted anew on every try of e2e_wait, not once when the line is read.
popups_are() { test "$(popups)" = "$1"; }
sounds_at_least() { test "$(sounds)" -ge "$1"; }
spent() { [ "$(grep -A1 -x "Night $1" "$data/Alarms" | tail -n1)" = 0 ]; }

e2e_fake_clock "2026-12-07 23:00:00"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon
sleep 1
e2e_check "nothing rings before the first moment" test "$(popups)" = 0

# Suspended at 23:05, resumed at 23:45.
e2e_set_clock "2026-12-07 23:45:00"
e2e_check "three pop-ups on resume" e2e_wait popups_are 3
e2e_check "the sound plays" e2e_wait sounds_at_least 1
for m in 10 20 30; do
    e2e_check "Night $m is spent on disk" e2e_wait spent "$m"
done
e2e_screenshot resumed
sleep 1
heard=$(sounds)

e2e_set_clock "2026-12-07 23:45:05"
e2e_set_clock "2026-12-07 23:46:00"
sleep 2
e2e_check "still three pop-ups" test "$(popups)" = 3
e2e_check "no sound since" test "$(sounds)" = "$heard"
e2e_check "the program keeps running" kill -0 "$TIDRA_PID"
e2e_pass
