#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starting and ending: without a tray the program says so, writes nothing and
# ends on SIGTERM; a first start welcomes at the tray icon, registers with the
# session and stores defaults; a second start is refused and brings the window
# forward; SIGTERM writes everything. A command with no Tidra running starts it
# detached (nothing a shell waits for) and replies once the file holds what it
# did (kill -9 loses nothing).
source "$(dirname "$0")/lib.sh"
e2e_init journey_quit
e2e_start_x
entry=$XDG_CONFIG_HOME/autostart/Tidra.desktop

# --- no tray: SIGTERM while its message is up ---
e2e_start_tidra
E2E_TIMEOUT=30 e2e_wait_window '^Tidra$' >/dev/null || e2e_fail "no missing-tray message"
e2e_term "$TIDRA_PID" 1 "during the missing-tray message"
e2e_check "nothing was written without a tray" test ! -e "$CONF" -a ! -e "$DATA" -a ! -e "$entry"

# --- first start ---
e2e_start_tray
e2e_start_in_tray
e2e_check "a first start welcomes in a balloon" e2e_wait e2e_balloon # up for 10 s
settings=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "no settings window at a first start"
e2e_check "a first start sets up the autostart" e2e_wait grep -qx "Exec=\"$TIDRA_BIN\"" "$entry"
e2e_check "the defaults are stored" e2e_wait grep -q '^leftClick=1$' "$CONF"
e2e_check "Escape hides the settings window" e2e_dismiss "$settings" Escape
e2e_command
e2e_check "a second start ends with 0, saying Tidra runs already" \
    grep -q '^0 .*runs already' <<<"$E2E_RC $E2E_OUT $E2E_ERR"
e2e_check "and brings the running window forward" e2e_wait_window '^Tidra!!! Settings$'
rm "$DATA"/* "$CONF"
e2e_term "$TIDRA_PID" 0 "of the running program"
e2e_check "SIGTERM wrote every file" test "$(ls "$DATA" | wc -l)" = 4 -a -s "$CONF"

# --- started by a command; a daily alarm that passed at midnight rings at
# start-up and is on disk moved on at once: kill -9 loses nothing ---
day() { date -d "$1" '+%Y %d %m'; }
e2e_block Alarm Standup "1 $(day yesterday) 00 00 1 1 0 0 0 0 0 0 0 2" >"$DATA/Alarms"
e2e_conf '[tray]' showOnStartUp=false
out=$(timeout 10 "$TIDRA_BIN" --alarm +5m X) # a shell waiting for Tidra would time out
rc=$?
e2e_check "\$(tidra --alarm ...) with no Tidra running says what it did" \
    grep -q '^0 Alarm "X" is set for' <<<"$rc $out"
e2e_adopt
moved() { sed -n 4,6p "$DATA/Alarms" | paste -sd' ' | grep -qx "$(day tomorrow)"; } # Standup's
e2e_check "the fired alarm is on disk with its next occurrence" e2e_wait moved
kill -9 "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "kill -9 did not end the program"
e2e_check "the alarms survived kill -9" moved
e2e_check "the one the command set too" grep -qx X "$DATA/Alarms"
e2e_check "no temporary file was left" test "$(ls -A "$DATA" | wc -l)" = 4
e2e_pass
