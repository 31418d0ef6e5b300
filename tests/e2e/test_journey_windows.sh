#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The floating windows on a real screen. The four work windows (a 6:00 Monday
# and a vacation ahead) each take a place of their own and follow the clock.
# Two countdowns from the command line (the first starts the program), dragged
# near the left and the bottom edge, snap onto it and their places are saved;
# after --quit and a restart, with one finished (listed so to the second, before
# and after) and one counting down, both are back at their centres.
source "$(dirname "$0")/lib.sh"
e2e_init journey_windows
e2e_start_x
e2e_start_tray
mkdir -p "$DATA"
e2e_conf '[tray]' showOnStartUp=false '[timers]' PlaySound=false \
    '[work]' MonWorkBeginTime=6:00 TimeToVacation=true
printf '%s\n' Ski 1 2026 21 12 2026 25 12 >"$DATA/WorkSchedule"
shown() { # the work windows shown, in their fixed order, by short names
    local name list=()
    for name in "begin of lunch:lunch" "end of work:end" "holiday:holiday" "vacation:vacation"; do
        [ -n "$(e2e_find_window "^Time to ${name%%:*}\$")" ] && list+=("${name#*:}")
    done
    [ "${list[*]}" = "$1" ]
}
apart() { # no two windows share a place
    local id
    ! for id in $(e2e_find_window '^(Time to |Tea$|Run$)'); do
        e2e_geometry "$id" | cut -d' ' -f1-2
    done | sort | uniq -d | grep -q .
}
e2e_fake_clock "2026-12-07 06:30:00"
e2e_start_tidra --timer 6h Tea
e2e_check "a command that needs the program starts it" e2e_wait_tray_icon
e2e_check "all four work windows show on a Monday morning" \
    e2e_wait shown "lunch end holiday vacation"
e2e_command --timer 9h Run
tea=$(e2e_wait_window '^Tea$') || e2e_fail "no window for the first countdown"
run=$(e2e_wait_window '^Run$') || e2e_fail "no window for the second countdown"
e2e_check "no two windows pile up" apart
at_place() { test "$(e2e_geometry "$1" | cut -d' ' -f1-2)" = "$2"; }
centre() { e2e_geometry "$1" | awk '{ print $1 + int($3 / 2), $2 + int($4 / 2) }'; }
# Within a pixel of "x y" (halves of odd sizes), on screen or in the file.
near() {
    awk -v w="$2" '{ split(w, c); exit !(($1 - c[1])^2 <= 1 && ($2 - c[2])^2 <= 1) }' <<<"$1"
}
saved() { near "$(grep -A18 -x "$1" "$DATA/Timers" | sed -n '17,18p' | paste -sd' ')" "$2"; }
read -r x y w h <<<"$(e2e_geometry "$run")"
e2e_drag_by "$run" $((1 - x)) 0 # a pixel short of the left edge
e2e_check "dragged a pixel short of the left edge, it snaps" e2e_wait at_place "$run" "0 $y"
read -r x y w h <<<"$(e2e_geometry "$tea")"
e2e_drag_by "$tea" 0 $((799 - y - h)) # a pixel short of the bottom
e2e_check "near the bottom edge, it snaps" e2e_wait at_place "$tea" "$x $((800 - h))"
e2e_screenshot snapped
e2e_check "the places are saved" e2e_wait saved Tea "$(centre "$tea")"
e2e_check "both places are saved" e2e_wait saved Run "$(centre "$run")"

e2e_set_clock "2026-12-07 13:30:00"
e2e_check "after lunch the lunch window goes" e2e_wait shown "end holiday vacation"
e2e_ringing "the finished countdown"
e2e_dismiss "$POPUP" Escape
tea_listed() { e2e_command --list && grep -qxF "$1" <<<"$E2E_OUT"; }
tea_line=$(e2e_command --list && grep -P '^timer\tTea\t' <<<"$E2E_OUT")
e2e_check "the finished countdown is listed as finished" \
    grep -qP '^timer\tTea\tfinished\t2026-12-07T12:30:\d\d\+01:00\tshown\tnone$' <<<"$tea_line"
tea_centre=$(centre "$tea") run_centre=$(centre "$run")
e2e_command --quit
e2e_check "--quit returns once the program is gone" \
    test "$E2E_RC" = 0 -a -z "$(e2e_find_window '^Tea$')"
e2e_check "and the places are on disk" saved Tea "$tea_centre"
e2e_start_tidra
tea=$(e2e_wait_window '^Tea$') && run=$(e2e_wait_window '^Run$') ||
    e2e_fail "the countdowns did not come back"
back_at() { near "$(centre "$1")" "$2"; }
e2e_check "the finished countdown is back at its place" e2e_wait back_at "$tea" "$tea_centre"
e2e_check "the other one is back at its place" e2e_wait back_at "$run" "$run_centre"
e2e_check "a finished countdown does not ring again" e2e_window_gone '^Alarm$'
e2e_check "and is listed as before, finished, to the second" tea_listed "$tea_line"
e2e_pass
