#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# How an alarm reaches the user, on a private session bus with a stand-in
# notification server and a private sound server. Balloons: one notification
# with every field (its actions act in test_dunst). Pop-ups: a copy in the
# notification area that goes with the pop-up; WAV, OGG, MP3 and FLAC play, a
# repeating one until the pop-up is closed; the media back end's own messages
# stay out of the log.
source "$(dirname "$0")/lib.sh"
e2e_init_desktop alarm_outputs
e2e_start_x
e2e_start_tray
e2e_start_audio
sounds=$TIDRA_SOURCE_DIR/tests/e2e/sounds
clock=$(date -d "2026-12-07 10:00:20" +%s)
e2e_fake_clock "@$clock"

# start "alarms/Key=value..." NAME [MESSAGE]: Tidra with these settings and an alarm in a minute.
start() {
  # shellcheck disable=SC2086
  e2e_conf '[tray]' showOnStartUp=false '[alarms]' DisplayTime=30 ShadeEffect=false $1
  e2e_start_tidra # not by the command: that Tidra would run detached, its reports unseen
  e2e_wait ready || e2e_fail "Tidra does not answer"
  e2e_command --alarm +1m "${@:2}"
  e2e_wait listed "$2" || e2e_fail "Tidra did not start with its alarm $2"
}
ready() { e2e_command --list; [ "$E2E_RC" = 0 ]; }
listed() { e2e_command --list; grep -qP "^alarm\t$1\t" <<<"$E2E_OUT"; }
at() { clock=$((clock + $1)); e2e_set_clock "@$clock"; }
quit() { e2e_command --quit; [ "$E2E_RC" = 0 ] || e2e_fail "--quit said $E2E_RC"; }
notified() { grep -P "^notify\tTidra\t$1\t" "$HOST_LOG"; }
id_of() { notified "$1" | awk -F'\t' '{ print $9; exit }'; } # the server's id
playing() { [ "$(e2e_sound_streams)" -ge 1 ]; }
silent() { [ "$(e2e_sound_streams)" = 0 ]; }

# --- balloons: one notification each, with every field ---
start "DisplayBaloon=true PlaySound=false" Tea "Drink it"
at 42
E2E_TIMEOUT=20 e2e_wait notified Tea || e2e_fail "no notification for the alarm"
sleep 1.5 # more ticks: still one
actions='remind-5-minutes|Remind in 5 minutes|edit|Edit'
hints='desktop-entry=org.morvane.Tidra;urgency=2'
want=$'notify\tTidra\tTea\tDrink it\torg.morvane.Tidra\t30000\t'"$actions"$'\t'"$hints"
e2e_check "one notification with every field" test "$(notified Tea)" = "$want"$'\t'"$(id_of Tea)"
quit

# --- pop-ups: a copy that goes with the pop-up, and each format, repeating until closed ---
for f in ring.oga ring.wav ring.mp3 ring.flac; do
  start "AlsoNotify=true PlaySound=true RepeatSound=true SoundFileName=$sounds/$f" "$f"
  at 120
  e2e_ringing "$f"
  e2e_check "$f plays" e2e_wait playing
  sleep 1 # far longer than the sound: it repeats
  e2e_check "$f repeats while the pop-up is up" playing
  e2e_wait notified "$f" || e2e_fail "the pop-up has no copy in the notification area"
  e2e_dismiss "$POPUP" Escape
  e2e_check "closing the pop-up stops $f" e2e_wait silent
  e2e_check "and takes its copy away" e2e_wait grep -qx "close	$(id_of "$f")" "$HOST_LOG"
  quit
done

chatter='listing codecs|^\[[a-z0-9_]+ @ 0x|PulseAudioService|No audio device detected'
e2e_check "the media back end's own messages stay out of the log" \
  test "$(grep -cE "$chatter" "$E2E_TMP/tidra.log")" = 0
e2e_pass
