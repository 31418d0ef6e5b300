#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A start that meets trouble: SIGTERM while a start-up message is up, or while
# waiting for a tray, ends the program the orderly way instead of being
# swallowed by the message; a pipe at the lock path does not hang the start.
source "$(dirname "$0")/lib.sh"
e2e_init start_signals
conf=$XDG_CONFIG_HOME/Morvane/Tidra.conf
mkdir -p "$XDG_CONFIG_HOME/Morvane"
printf '[tray]\nshowOnStartUp=false\n' >"$conf"
e2e_start_x 1280x800

# Sends SIGTERM to PID once WINDOW is up; the program must end within a few seconds.
term_during() { # pid window-title want-exit-code what
  local pid=$1 title=$2 want=$3 what=$4 win
  win=$(E2E_TIMEOUT=20 e2e_wait_window "$title") || e2e_fail "$what: no \"$title\" window"
  e2e_screenshot "${what// /-}"
  kill -TERM "$pid"
  e2e_wait_exit "$pid" 10 || e2e_fail "$what: SIGTERM did not end the program"
  [ "$E2E_RC" = "$want" ] || e2e_fail "$what: exit code $E2E_RC, want $want"
  e2e_log "ok: $what"
}

# --- no tray: SIGTERM while waiting for one, and while its message is up ---
e2e_start_tidra
sleep 1
kill -TERM "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" 3 || e2e_fail "SIGTERM while waiting for a tray did not end the program"
e2e_check "it ends with 0 while waiting for a tray" test "$E2E_RC" = 0
e2e_start_tidra
term_during "$TIDRA_PID" '^Tidra$' 1 "no tray message"

# --- the data folder cannot be made: "Settings Error" ---
e2e_start_tray
touch "$HOME/.Tidra" # a file where the folder belongs
e2e_start_tidra
term_during "$TIDRA_PID" '^Settings Error$' 0 "settings error message"
e2e_check "the settings were written on the way out" grep -q '^showOnStartUp=false$' "$conf"
e2e_check "no second message came up" e2e_window_gone '^Settings Error$'
rm -f "$HOME/.Tidra"

# --- a pipe at the lock path does not hang the start ---
mkfifo "$XDG_RUNTIME_DIR/Tidra.lock"
e2e_start_tidra
e2e_check "a pipe at the lock path is taken over" e2e_wait_tray_icon
e2e_check "and replaced by a lock file" test -f "$XDG_RUNTIME_DIR/Tidra.lock"

# --- a second start: SIGTERM while its one-instance message is up ---
e2e_run_tidra second
term_during "$second" '^Tidra$' 0 "one-instance message"
e2e_check "the first instance keeps running" kill -0 "$TIDRA_PID"
e2e_pass
