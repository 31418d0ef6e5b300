#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A working week in the real program: Mondays begin at 6:00 and a vacation lies
# ahead (both as stored files); the four work windows show and hide as the
# (faked) clock jumps through the day, each at a place of its own.
source "$(dirname "$0")/lib.sh"
e2e_init journey_work_day
export TZ=Europe/Berlin
e2e_start_x 1280x800
e2e_start_tray
mkdir -p "$XDG_CONFIG_HOME/Morvane" "$HOME/.Tidra"
printf '[tray]\nshowOnStartUp=false\n[work]\nMonWorkBeginTime=6:00\nTimeToVacation=true\n' \
    >"$XDG_CONFIG_HOME/Morvane/Tidra.conf"
printf '%s\n' Ski 1 2026 21 12 2026 25 12 >"$HOME/.Tidra/WorkSchedule"

# The work windows shown, in their fixed order, by short names.
shown() {
    local name list=()
    for name in "begin of lunch:lunch" "end of work:end" "holiday:holiday" "vacation:vacation"; do
        [ -n "$(e2e_find_window "^Time to ${name%%:*}\$")" ] && list+=("${name#*:}")
    done
    echo "${list[*]}"
}
showing() { [ "$(shown)" = "$1" ]; }
apart() { # no two shown work windows share a place
    local places
    places=$(for id in $(e2e_find_window '^Time to '); do e2e_geometry "$id" | cut -d' ' -f1-2; done)
    [ "$(sort <<<"$places" | uniq -d)" = "" ]
}
at() { # "time" "windows": the clock jumps there and the windows follow
    e2e_set_clock "$1"
    e2e_wait showing "$2" || e2e_fail "at $1: shown [$(shown)], want [$2]"
    e2e_log "ok: at $1: [$2]"
}

e2e_fake_clock "2026-12-07 05:30:00"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon
at "2026-12-07 05:30:00" "holiday vacation"
at "2026-12-07 06:30:00" "lunch end holiday vacation"
e2e_check "the four windows do not pile up" apart
e2e_screenshot morning
at "2026-12-07 13:30:00" "end holiday vacation"
at "2026-12-07 19:00:00" "holiday vacation"
at "2026-12-12 10:00:00" "vacation"
at "2026-12-22 10:00:00" "lunch end holiday"
e2e_check "the windows still do not pile up" apart
e2e_pass
