#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line: help, version and mistakes touch nothing and need no
# display; commands reach the running program and change what it keeps; a
# second plain start brings the settings window forward; --quit returns once
# all is saved; a command that needs the program starts it.
source "$(dirname "$0")/lib.sh"
e2e_init command_line
listing() { find "$HOME" "$XDG_RUNTIME_DIR" | sort; }
before=$(listing)
rows() { # args | exit code | pattern on stdout | text on stderr
    while IFS='|' read -r args rc out err; do
        eval "set -- $args"
        e2e_command "$@"
        [ "$E2E_RC" = "$rc" ] || e2e_fail "tidra $args: exit code $E2E_RC, want $rc ($E2E_ERR)"
        grep -qE -- "$out" <<<"$E2E_OUT" && grep -qF -- "$err" <<<"$E2E_ERR" ||
            e2e_fail "tidra $args printed [$E2E_OUT] [$E2E_ERR]"
    done
}
rows <<'EOT'
--help|0|^Usage: tidra \[options\]|
-v|0|^Tidra 1\.2\.31$|
--bogus|2||Unknown option 'bogus'.
--quit|3||Tidra is not running.
--alarm 2020-01-01 10:00 Old|1||Alarm can not be placed in the past.
EOT
e2e_check "help, version, mistakes and refusals leave the home folder as it was" test "$(listing)" = "$before"

e2e_conf '[tray]' showOnStartUp=false '[alarms]' DisplayTime=180
e2e_start_x
e2e_start_tray
e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon
rows <<'EOT'
--alarm +1m Tea "Drink it"|0|^Alarm "Tea" is set for 2026-12-07 10:01\.$|
--timer 25m Pasta|0|^Timer "Pasta" counts down to 2026-12-07 10:25:[0-9]{2}\.$|
--alarm 09:00 Past-today|0|for 2026-12-08 09:00\.$|
--timer 1x|2||"1x" is not a span
EOT
e2e_check "the timer window opens" e2e_wait_window '^Pasta$'
tea_saved() { grep -A18 -x Tea "$DATA/Alarms" | paste -sd' ' | grep -q '^Tea 1 2026 07 12 10 01 .* Drink it Alarm end'; }
e2e_check "the alarm is in the file" e2e_wait tea_saved
e2e_command --list
listed='^alarm\tTea\t2026-12-07 10:01\tPlay once\nalarm\tPast-today\t2026-12-08 09:00\tPlay once\n'
listed+='timer\tPasta\tcounting down\t2026-12-07 10:25:\d\d\tshown\n'
e2e_check "--list names them all" grep -qzP "$listed" <<<"$E2E_OUT"

# --- a second plain start: its message, and the running window comes forward ---
e2e_run_tidra second
box=$(e2e_wait_window '^Tidra$') || e2e_fail "no one-instance message"
main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "the running window did not come forward"
wm_class=$(xprop -id "$main" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
e2e_check "the menu entry names the window class ($wm_class)" \
    grep -qx "StartupWMClass=$wm_class" "$TIDRA_SOURCE_DIR/packaging/org.morvane.Tidra.desktop"
e2e_dismiss "$box" Return || e2e_fail "the message does not go away"
e2e_wait_exit "$second" && test "$E2E_RC" = 0 || e2e_fail "the second start did not end with 0"
e2e_press_key "$main" Escape
e2e_check "the window hides" e2e_wait e2e_window_gone '^Tidra!!! Settings$'
rows <<<'--show alarms|0||'
e2e_check "--show brings the window back" e2e_wait_window '^Tidra!!! Settings$'

rows <<<'--quit|0||'
e2e_check "the program is gone when --quit returns" bash -c "! kill -0 $TIDRA_PID"
e2e_check "the timer is written" grep -qx Pasta "$DATA/Timers"
e2e_check "the settings are written" grep -q '^DisplayTime=180$' "$CONF"

e2e_start_tidra --alarm +5m Later
e2e_check "a command starts the program" e2e_wait_tray_icon
rows <<'EOT'
--list|0|^alarm	Later	2026-12-07 10:0[5-7]	Play once$|
--quit|0||
EOT
e2e_check "the earlier alarms are kept" grep -qx Tea "$DATA/Alarms"
e2e_pass
