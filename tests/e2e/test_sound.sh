#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Alarm sounds as a user hears them, on a private sound server: WAV, OGG, MP3
# and FLAC play; a sound set to repeat plays until its pop-up is closed; a file
# that cannot be played is reported once; a 2 GB WAV is streamed, not loaded;
# without an audio output the alarm still shows and nothing crashes.
source "$(dirname "$0")/lib.sh"
e2e_init sound
export TZ=Europe/Berlin
e2e_start_x 1280x800
e2e_start_tray
e2e_start_audio
sounds=$TIDRA_SOURCE_DIR/tests/e2e/sounds
conf=$XDG_CONFIG_HOME/Morvane/Tidra.conf
mkdir -p "$XDG_CONFIG_HOME/Morvane"
clock=$(date -d "2026-12-07 10:00:20" +%s)
e2e_fake_clock "@$clock"

# Starts Tidra with SOUND (repeating), sets an alarm a minute ahead, lets it ring
# and leaves its pop-up up in $popup.
ring() {
  printf '[tray]\nshowOnStartUp=false\n[alarms]\nDisplayTime=180\nShadeEffect=false\nPlaySound=true\nSoundFileName=%s\nRepeatSound=true\n' \
    "$1" >"$conf"
  e2e_start_tidra
  e2e_wait_tray_icon >/dev/null || e2e_fail "no tray icon"
  e2e_command --alarm +1m "Ring $(basename "$1")"
  clock=$((clock + 120))
  e2e_set_clock "@$clock"
  popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the alarm with $1 did not ring"
}
quit() {
  e2e_command --quit
  [ "$E2E_RC" = 0 ] || e2e_fail "--quit said $E2E_RC"
}
playing() { [ "$(e2e_sound_streams)" -ge 1 ]; }
silent() { [ "$(e2e_sound_streams)" = 0 ]; }
reports() { grep -c "Tidra: cannot play $1" "$E2E_TMP/tidra.log"; }

# --- every format plays, and on until the pop-up is closed ---
for f in ring.wav ring.oga ring.mp3 ring.flac; do
  ring "$sounds/$f"
  e2e_check "$f plays" e2e_wait playing
  sleep 1 # far longer than the sound: it repeats
  e2e_check "$f repeats while the pop-up is up" playing
  e2e_dismiss "$popup" Escape
  e2e_check "closing the pop-up stops $f" e2e_wait silent
  e2e_check "$f is not reported" test "$(reports "$sounds/$f")" = 0
  quit
done

# --- a file that looks like a sound but is none: one report, however often it rings ---
junk=$HOME/junk.ogg
{ printf 'OggS'; head -c 4000 /dev/urandom; } >"$junk"
ring "$junk"
e2e_dismiss "$popup" Escape
e2e_command --alarm +1m Again
clock=$((clock + 120))
e2e_set_clock "@$clock"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the second alarm did not ring"
e2e_check "the broken file is reported" e2e_wait test "$(reports "$junk")" -ge 1
sleep 1
e2e_check "once" test "$(reports "$junk")" = 1
e2e_check "nothing plays" silent
e2e_dismiss "$popup" Escape
quit

# --- a 2 GB WAV is streamed: the program stays small while it plays ---
big=$E2E_TMP/big.wav
python3 - "$big" <<'PY'
import struct, sys
size = 2 * 1024**3
head = (b"RIFF" + struct.pack("<I", size - 8) + b"WAVEfmt " +
        struct.pack("<IHHIIHH", 16, 1, 2, 44100, 44100 * 4, 4, 16) + b"data" + struct.pack("<I", size - 44))
with open(sys.argv[1], "wb") as f:
    f.write(head)
    f.truncate(size)  # sparse: no disk space taken
PY
ring "$big"
e2e_check "the big file plays" e2e_wait playing
sleep 2
peak=$(awk '/VmHWM/ { print $2 }' "/proc/$TIDRA_PID/status")
e2e_log "peak memory while playing 2 GB: $((peak / 1024)) MB"
e2e_check "and the program stays under 300 MB" test "$peak" -lt 307200
e2e_dismiss "$popup" Escape
quit

# --- no audio output: the alarm shows, one line says why it is silent ---
PULSE_SERVER=unix:/nonexistent/socket ring "$sounds/ring.wav"
e2e_check "the pop-up shows without sound" kill -0 "$TIDRA_PID"
e2e_check "the missing output is reported once" \
  test "$(grep -c 'Tidra: no sound: there is no audio output' "$E2E_TMP/tidra.log")" = 1
e2e_dismiss "$popup" Escape
quit
e2e_pass
