#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Alarms as notifications in dunst, the notification daemon of tiling desktops,
# restarted while Tidra runs: the new daemon counts its ids from the start
# again, so an action picked in it must act on the alarm it was shown for, not
# on the one the old daemon gave the same id; the reminder it sets comes back
# as a notification. Actions are picked through dunst's context menu, whose
# picker (dmenu) is a script here.
source "$(dirname "$0")/lib.sh"
type -P dunst dunstctl >/dev/null || { echo "SKIP: no dunst"; exit 77; }
e2e_desktop dunst bus
mkdir -p "$XDG_CONFIG_HOME/dunst"
printf '#!/bin/sh\ntee -a %s | grep -m1 -F "$(cat %s)"\n' "$E2E_TMP/menu.log" "$E2E_TMP/want" \
    >"$E2E_TMP/pick.sh" && chmod +x "$E2E_TMP/pick.sh"
printf '[global]\n dmenu = %s\n timeout = 0\n' "$E2E_TMP/pick.sh" >"$XDG_CONFIG_HOME/dunst/dunstrc"
start_dunst() {
    dunst >>"$E2E_TMP/dunst.log" 2>&1 &
    DUNST=$!
    E2E_PIDS+=("$DUNST")
    e2e_wait dunstctl is-paused || e2e_fail "dunst did not start"
}
shown() { [ "$(dunstctl count displayed)" = "$1" ]; }
pick() { echo "$1" >"$E2E_TMP/want"; dunstctl context; }

start_dunst
e2e_fake_clock "2026-12-07 10:00:00"
e2e_conf '[tray]' showOnStartUp=false '[alarms]' DisplayBaloon=true PlaySound=false
e2e_start_in_tray
e2e_command --alarm 10:05 Tea "Drink it"
e2e_command --alarm 10:06 Soup "Eat it"
e2e_set_clock "2026-12-07 10:05:01"
e2e_check "Tea is shown by dunst" e2e_wait shown 1
pick "nothing"
id_of() { # the id dunst gave the alarm named $1, from its menu
    e2e_wait grep -q "($1)" "$E2E_TMP/menu.log" &&
        grep -om1 "($1) \[[0-9]*" "$E2E_TMP/menu.log" | tr -dc 0-9
}
tea_id=$(id_of Tea)
kill "$DUNST"
wait "$DUNST" 2>/dev/null
start_dunst
e2e_set_clock "2026-12-07 10:06:01"
e2e_check "Soup is shown by the new dunst" e2e_wait shown 1
pick "Remind in 5 minutes"
soup_id=$(id_of Soup)
e2e_check "the new dunst gave Soup the id Tea had ($tea_id)" test "$tea_id" = "$soup_id"
reminder() { e2e_command --list; grep -qP "^alarm\t$1\t.*\t$2\$" <<<"$E2E_OUT"; }
e2e_check "its action puts off Soup" e2e_wait reminder Soup '2026-12-07T10:11:00\+01:00'
e2e_check "not Tea" reminder Tea none
dunstctl close-all
e2e_set_clock "2026-12-07 10:11:01"
e2e_check "the reminder comes back as a notification" e2e_wait shown 1
e2e_command --quit
e2e_pass
