#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tidra on a Wayland desktop runs through XWayland, whose window manager (weston
# 10's here) puts managed X windows where it likes (all at 32,32, or its own
# spots) whatever they ask. The work windows, two countdowns from the command
# line and the settings window each get a place of their own. The windows Tidra
# places itself never overlap; where weston puts the settings window is its own
# choice (and not always the same), so that one only must not share a place.
source "$(dirname "$0")/lib.sh"
type -P weston Xwayland >/dev/null || { echo "SKIP: no weston with XWayland"; exit 77; }
e2e_init weston
weston --backend=headless-backend.so --xwayland --width=1280 --height=800 --idle-time=0 \
    --socket=tidra-wayland --log="$E2E_TMP/weston.log" >"$E2E_TMP/weston-out.log" 2>&1 &
E2E_PIDS+=($!)
x_display() { grep -o 'xserver listening on display :[0-9]*' "$E2E_TMP/weston.log" | cut -c30-; }
e2e_wait x_display || e2e_fail "weston offers no X display"
# As in a Wayland session: Qt's xcb platform on the X display XWayland offers.
unset XDG_CURRENT_DESKTOP # weston names none
export DISPLAY=$(x_display) WAYLAND_DISPLAY=tidra-wayland XDG_SESSION_TYPE=wayland
e2e_wait xwininfo -root || e2e_fail "XWayland does not answer on $DISPLAY"
e2e_start_tray
mkdir -p "$DATA"
e2e_conf '[tray]' showOnStartUp=false '[timers]' PlaySound=false \
    '[work]' MonWorkBeginTime=6:00 TimeToVacation=true
printf '%s\n' Ski 1 2026 21 12 2026 25 12 >"$DATA/WorkSchedule"
e2e_fake_clock "2026-12-07 06:30:00"
e2e_start_tidra --show settings
e2e_command --timer 6h Tea
e2e_command --timer 9h Run
places() { # "NAME X Y W H" of each of our windows
    e2e_windows --name '^(Time to .*|Tea|Run|Tidra!!! Settings)$' | cut -d' ' -f2-6
}
all_shown() { [ "$(places | wc -l)" = 7 ]; }
e2e_check "the settings window, two countdowns and four work windows show" e2e_wait all_shown
sleep 0.5 # a window manager may still move what it has just mapped
apart() {
    awk '{ n[NR] = $1; x[NR] = $2; y[NR] = $3; r[NR] = $2 + $4; b[NR] = $3 + $5 }
        END { for (i = 1; i <= NR; i++) for (j = i + 1; j <= NR; j++)
                  if (x[i] == x[j] && y[i] == y[j] || n[i] !~ /Settings/ &&
                      n[j] !~ /Settings/ && x[i] < r[j] && x[j] < r[i] && y[i] < b[j] &&
                      y[j] < b[i]) { print n[i], "overlaps", n[j]; bad = 1 }
              exit bad }' <(places) >&2
}
e2e_check "none shares a place, and the ones Tidra places do not overlap" apart
e2e_pass
