#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line: help, version and mistakes touch nothing and need no
# display; commands reach the running program and change what it keeps; a
# second plain start brings the settings window forward; --quit saves all.
source "$(dirname "$0")/lib.sh"
e2e_init command_line
export TZ=Europe/Berlin
data=$HOME/.Tidra

listing() { find "$HOME" "$XDG_RUNTIME_DIR" | sort; }
before=$(listing)
untouched() { [ "$(listing)" = "$before" ]; }

# args | exit code | pattern on stdout | pattern on stderr
run_rows() {
  while IFS='|' read -r args rc out err; do
    [ -z "$args" ] && continue
    eval "set -- $args"
    e2e_command "$@"
    [ "$E2E_RC" = "$rc" ] || e2e_fail "tidra $args: exit code $E2E_RC, want $rc ($E2E_ERR)"
    [ -z "$out" ] || grep -qE -- "$out" <<<"$E2E_OUT" || e2e_fail "tidra $args printed [$E2E_OUT]"
    [ -z "$err" ] || grep -qF -- "$err" <<<"$E2E_ERR" || e2e_fail "tidra $args said [$E2E_ERR]"
    e2e_log "ok: tidra $args"
  done
}

# --- no display, nothing running ---
run_rows <<'EOT'
--help|0|^Usage: tidra \[options\]|
-v|0|^Tidra 1\.2\.31$|
--bogus|2||Unknown option 'bogus'.
--quit|3||Tidra is not running.
--alarm 2020-01-01 10:00 Old|1||Alarm can not be placed in the past.
EOT
e2e_check "help, version, mistakes and refusals leave the home folder as it was" untouched

# --- a running Tidra takes commands ---
mkdir -p "$XDG_CONFIG_HOME/Morvane"
printf '[tray]\nshowOnStartUp=false\n[alarms]\nDisplayTime=180\nPlaySound=false\n' \
  >"$XDG_CONFIG_HOME/Morvane/Tidra.conf"
e2e_start_x 1280x800
e2e_start_tray
e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon

run_rows <<'EOT'
--alarm +1m Tea "Drink it"|0|^Alarm "Tea" is set for 2026-12-07 10:01\.$|
--timer 25m Pasta|0|^Timer "Pasta" counts down to 2026-12-07 10:25:[0-9]{2}\.$|
--alarm 09:00 Past-today|0|for 2026-12-08 09:00\.$|
--alarm "2026-12-07 09:00"|1||Alarm can not be placed in the past.
--timer 1x|2||"1x" is not a span
EOT
e2e_check "the timer window opens" e2e_wait_window '^Pasta$'
tea_saved() { grep -A18 -x Tea "$data/Alarms" | tr '\n' ' ' | grep -q '^Tea 1 2026 07 12 10 01 .* Drink it Alarm end'; }
e2e_check "the alarm is in the file" e2e_wait tea_saved
e2e_command --list
want=$'alarm\tTea\t2026-12-07 10:01\tPlay once\nalarm\tPast-today\t2026-12-08 09:00\tPlay once'
[ "$(head -n2 <<<"$E2E_OUT")" = "$want" ] || e2e_fail "the list is [$E2E_OUT]"
grep -qP '^timer\tPasta\tcounting down\t2026-12-07 10:25:\d\d\tshown$' <<<"$E2E_OUT" ||
  e2e_fail "the timer line is missing: [$E2E_OUT]"

e2e_set_clock "2026-12-07 10:01:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the alarm did not ring"
e2e_screenshot rung
e2e_dismiss "$popup" Escape

# --- a second plain start: its message, and the running window comes forward ---
e2e_check "no settings window before" e2e_window_gone '^Tidra!!! Settings$'
e2e_run_tidra second
box=$(e2e_wait_window '^Tidra$') || e2e_fail "no one-instance message"
main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "the running window did not come forward"
wm_class=$(xprop -id "$main" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
e2e_check "the menu entry names the window class ($wm_class)" \
  grep -qx "StartupWMClass=$wm_class" "$TIDRA_SOURCE_DIR/packaging/org.morvane.Tidra.desktop"
e2e_screenshot second-start
e2e_dismiss "$box" Return || e2e_fail "the message does not go away"
e2e_wait_exit "$second" || e2e_fail "the second start did not end"
e2e_check "the second start exits with 0" test "$E2E_RC" = 0
e2e_press_key "$main" Escape
e2e_check "the window hides" e2e_wait e2e_window_gone '^Tidra!!! Settings$'
run_rows <<<'--show alarms|0||'
e2e_check "--show brings the window back" e2e_wait_window '^Tidra!!! Settings$'

# --- --quit returns when everything is written and the program is gone ---
run_rows <<<'--quit|0||'
e2e_check "the program is gone when --quit returns" bash -c "! kill -0 $TIDRA_PID"
spent() { grep -A1 -x Tea "$data/Alarms" | tail -n1 | grep -qx 0; }
e2e_check "the spent alarm is written" spent
e2e_check "the timer is written" grep -qx Pasta "$data/Timers"
e2e_check "the settings are written" grep -q '^DisplayTime=180$' "$XDG_CONFIG_HOME/Morvane/Tidra.conf"

# --- a command that needs Tidra starts it ---
e2e_start_tidra --alarm +5m Later
e2e_check "the command started Tidra" e2e_wait_tray_icon
later_saved() { grep -qx Later "$data/Alarms"; }
e2e_check "and set its alarm" e2e_wait later_saved
e2e_check "the earlier alarms are kept" grep -qx Tea "$data/Alarms"
run_rows <<'EOT'
--list|0|^alarm	Later	2026-12-07 10:0[67]	Play once$|
--quit|0||
EOT
e2e_pass
