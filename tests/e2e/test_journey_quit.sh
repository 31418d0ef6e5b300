#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starting and ending: help, version and mistakes (in the user's language) need
# no display and write nothing, and what needs a display says so in one line;
# without a tray the program says so, writes nothing and ends on SIGTERM even
# while it waits; a first start welcomes at the tray icon, registers with the
# session and stores defaults; a second start is refused, brings the window
# forward. A command with no Tidra running starts it detached
# (its own session, nothing a shell waits for) and replies once the file holds
# what it did (kill -9 loses nothing); SIGTERM and "Quit" write everything.
source "$(dirname "$0")/lib.sh"
e2e_init journey_quit
listing() { find "$HOME" "$XDG_RUNTIME_DIR" | sort; }
before=$(listing)
for row in "0 --help" "0 -v" "2 --bogus" "3 --quit"; do # exit code, arguments
    e2e_command ${row#* }
    [ "$E2E_RC" = "${row%% *}" ] || e2e_fail "tidra ${row#* }: exit code $E2E_RC ($E2E_ERR)"
done
for args in "" "--alarm +5m X"; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$TIDRA_BIN" $args 2>&1)
    rc=$?
    e2e_check "'tidra $args' with no display exits 2, saying so in one line" \
        test "$rc/$(grep -c DISPLAY <<<"$out")/$(wc -l <<<"$out")" = 2/1/1
done
e2e_check "a wrong command line is told in the user's language" \
    grep -q '^Aufruf: tidra ' <<<"$(LC_ALL=de_DE.UTF-8 "$TIDRA_BIN" --bogus 2>&1)"
e2e_check "commands with no Tidra to serve leave the home as it was" test "$(listing)" = "$before"
e2e_start_x
entry=$XDG_CONFIG_HOME/autostart/Tidra.desktop

# --- no tray: SIGTERM while waiting for one, and while its message is up ---
e2e_start_tidra
sleep 1
e2e_term "$TIDRA_PID" 0 "while waiting for a tray"
e2e_start_tidra
E2E_TIMEOUT=30 e2e_wait_window '^Tidra$' >/dev/null || e2e_fail "no missing-tray message"
e2e_check "no settings window without a tray" e2e_window_gone '^Tidra!!! Settings$'
e2e_term "$TIDRA_PID" 1 "during the missing-tray message"
e2e_check "nothing was written without a tray" test ! -e "$CONF" -a ! -e "$DATA" -a ! -e "$entry"

# --- first start (two at once: the lock, tst_commandline) ---
e2e_start_tray
e2e_start_tidra
icon=$(e2e_wait_tray_icon) || e2e_fail "no tray icon"
balloon=$(e2e_wait e2e_balloon && e2e_balloon) || e2e_fail "no welcome balloon" # up for 10 s
e2e_check "the settings window shows on a first start" e2e_wait_window '^Tidra!!! Settings$'
read -r _ ix _ iw _ <<<"$icon"
read -r _ bx by bw _ <<<"$balloon"
e2e_check "the balloon points at the tray icon" \
    test "$bx" -le "$ix" -a $((bx + bw)) -ge $((ix + iw / 2)) -a "$by" -le 60
e2e_check "a first start sets up the autostart" e2e_wait grep -qx "Exec=\"$TIDRA_BIN\"" "$entry"
e2e_check "the defaults are stored" e2e_wait grep -q '^leftClick=1$' "$CONF"

# A second start is refused, brings the running window forward (the menu entry
# names its window class) and ends at once.
e2e_press_key "$(e2e_wait_window '^Tidra!!! Settings$')" Escape
e2e_check "Escape hides the settings window" e2e_wait e2e_window_gone '^Tidra!!! Settings$'
e2e_command
e2e_check "the second start ends with 0, saying Tidra runs already" \
    grep -q '^0 .*runs already' <<<"$E2E_RC $E2E_OUT $E2E_ERR"
main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "the running window did not come forward"
wm_class=$(xprop -id "$main" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
e2e_check "the menu entry names the window class ($wm_class)" \
    grep -qx "StartupWMClass=$wm_class" "$TIDRA_SOURCE_DIR/packaging/org.morvane.Tidra.desktop"
e2e_term "$TIDRA_PID" 0 "of the running program"
e2e_check "SIGTERM wrote every file" test -f "$DATA/Alarms" -a -f "$DATA/WorkSchedule" -a -s "$CONF"
e2e_check "the lock was released" test ! -e "$XDG_RUNTIME_DIR/Tidra.lock"

# --- started by a command; a daily alarm that passed at midnight rings at
# start-up and is on disk moved on at once: kill -9 loses nothing ---
day() { date -d "$1" '+%Y %d %m'; }
e2e_block Alarm Standup "1 $(day yesterday) 00 00 1 1 0 0 0 0 0 0 0 2" >"$DATA/Alarms"
e2e_block Timer "Tea break" "1 2024 06 05 09 15 0 0 1 1 1 1 0 0 1 640 300 0 0 2 - 0 - -" \
    >"$DATA/Timers"
cp -r "$DATA" "$E2E_TMP/prepared"
e2e_conf '[tray]' showOnStartUp=false
out=$(timeout 10 "$TIDRA_BIN" --alarm +5m X) # a shell waiting for Tidra would time out
rc=$?
e2e_check "\$(tidra --alarm ...) with no Tidra running says what it did" \
    grep -q '^0 Alarm "X" is set for' <<<"$rc $out"
e2e_adopt
detached() {
    local fd
    [ "$(ps -o sid= -p "$1")" != "$(ps -o sid= -p $$)" ] || return 1
    for fd in 0 1 2; do [ "$(readlink "/proc/$1/fd/$fd")" = /dev/null ] || return 1; done
}
e2e_check "Tidra runs detached: its own session, its streams on /dev/null" detached "$TIDRA_PID"
e2e_check "the tray icon appears" e2e_wait_tray_icon
moved() { sed -n 4,6p "$DATA/Alarms" | paste -sd' ' | grep -qx "$(day tomorrow)"; } # Standup's
e2e_check "the fired alarm is on disk with its next occurrence" e2e_wait moved
e2e_check "no welcome balloon once the data folder is there" test -z "$(e2e_balloon)"
kill -9 "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "kill -9 did not end the program"
e2e_check "the alarms survived kill -9" moved
e2e_check "the one the command set too" grep -qx X "$DATA/Alarms"
e2e_check "the other files are as prepared" cmp -s "$DATA/Timers" "$E2E_TMP/prepared/Timers"
e2e_check "no temporary file was left" test "$(ls -A "$DATA" | wc -l)" = 4

# --- "Quit" from the tray's main menu writes everything ---
e2e_start_in_tray
cp -r "$DATA" "$E2E_TMP/running"
rm -f "$DATA"/* "$CONF"
e2e_menu 3 Up Return # the last entry: Quit
e2e_wait_exit "$TIDRA_PID" || e2e_fail "Quit did not end the program"
e2e_check "Quit exits with 0" test "$E2E_RC" = 0
e2e_check "Quit wrote every file back unchanged" e2e_same_files "$E2E_TMP/running"
e2e_check "Quit wrote the settings" grep -q '^leftClick=1$' "$CONF"

e2e_pass
