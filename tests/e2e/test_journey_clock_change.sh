#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Countdowns across both clock changes of a year and a stopwatch, the clock
# moved under the running program, drawn by a program whose stored skin is a
# plug-in that cannot be loaded (it needs a symbol nothing provides): the
# program refuses it, names it in the log, draws with the first skin that
# loads, and keeps the stored choice.
source "$(dirname "$0")/lib.sh"
e2e_init journey_clock_change
export TZ=Europe/Berlin
e2e_start_x 1280x800
e2e_start_tray

# The program as installed: its own folder, with the skins beside it.
prog=$E2E_TMP/prog
mkdir -p "$prog/skins" "$HOME/.Tidra" "$XDG_CONFIG_HOME/Morvane"
cp "$TIDRA_BIN" "$prog/tidra"
cp "$TIDRA_BUILD_DIR"/skins/*.so "$prog/skins/"
cp "$TIDRA_BUILD_DIR/testplugins/unresolved.so" "$prog/skins/aa-unresolved.so"
TIDRA_BIN=$prog/tidra
conf=$XDG_CONFIG_HOME/Morvane/Tidra.conf
printf '[tray]\nshowOnStartUp=false\n[timers]\nDefaultSkin=unresolved\nPlaySound=false\n' >"$conf"
# Spring: 22.5 hours to go over the night that has 23; autumn: 24.5 over the
# night that has 25 (name, countdown, date, time, Full format, centre).
for t in "Spring 0 2024 31 03 11 30 1 400 300" "Autumn 0 2024 27 10 11 30 1 400 500" \
    "Since 1 2024 26 10 11 00 1 800 300"; do
    # shellcheck disable=SC2086
    printf 'Timer\n%s\n%s\n%s\n%s\n%s\n%s\n%s\n0\n%s\n1\n1\n1\n1\n1\n1\n1\n%s\n%s\nTimer end\n' $t
done >"$HOME/.Tidra/Timers"

drawn() { [ "$(e2e_geometry "$1" | cut -d' ' -f4)" -ge 40 ]; } # digits under the name
e2e_fake_clock "2024-03-30 12:00:07"
e2e_start_tidra
e2e_check "the program starts" e2e_wait_tray_icon
for name in Spring Autumn Since; do
    id=$(e2e_wait_window "^$name\$") || e2e_fail "no window $name"
    e2e_check "$name shows digits" e2e_wait drawn "$id"
done
e2e_check "the refused skin is named in the log" grep -q 'aa-unresolved.so not loaded' "$E2E_TMP/tidra.log"
sleep 1
e2e_screenshot spring-countdown
for moment in "2024-10-26 12:00:07" "2024-10-27 10:30:05"; do
    e2e_set_clock "$moment"
    sleep 2
    e2e_screenshot "autumn-${moment:8:2}"
done
kill -TERM "$TIDRA_PID"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "SIGTERM did not end the program"
e2e_check "the stored skin is kept" grep -qx 'DefaultSkin=unresolved' "$conf"
e2e_pass
