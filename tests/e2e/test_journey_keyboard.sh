#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An alarm's life by keys alone, once the tray icon has opened a menu (a tray
# icon cannot take the focus): added from the fast-actions menu, reached from
# the main menu's "Show alarm pop-ups" when it rings, put off five minutes from
# its menu (Shift+F10), put away with Escape, deleted from its list with Delete.
source "$(dirname "$0")/lib.sh"
e2e_init journey_keyboard
export TZ=Europe/Berlin
e2e_start_x 1280x800
e2e_start_tray
data=$HOME/.Tidra
mkdir -p "$data" "$XDG_CONFIG_HOME/Morvane" # no first-start welcome
printf '[tray]\nshowOnStartUp=false\n[alarms]\nDisplayTime=180\nPlaySound=false\n' \
    >"$XDG_CONFIG_HOME/Morvane/Tidra.conf"

# Monday 10:00: new alarms are proposed for 11:00.
e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
tray_menu() { e2e_visible_menu Tidra; }
main_menu_keys() { # keys after the main menu opened
    local try
    for try in 1 2 3; do
        e2e_click_tray_icon 3
        E2E_TIMEOUT=3 e2e_wait tray_menu && break
        [ $try = 3 ] && e2e_fail "no main menu"
    done
    xdotool key "$@"
}

e2e_tray_menu 1 >/dev/null || e2e_fail "no fast-actions menu"
xdotool key Down Return # "Add New Alarm"
editor=$(e2e_wait_window '^Alarm$') || e2e_fail "no alarm editor"
xdotool windowfocus --sync "$editor" type --delay 20 "Keys"
xdotool key alt+m
xdotool type --delay 20 "typed, not clicked"
xdotool key alt+p
e2e_check "Alt+P applies" e2e_wait e2e_window_gone '^Alarm$'
added() { grep -A17 -x Keys "$data/Alarms" | tr '\n' ' ' | grep -q "^Keys 1 2026 07 12 11 00 .*typed, not clicked"; }
e2e_check "the alarm is on disk for 11:00 with its message" e2e_wait added

e2e_set_clock "2026-12-07 11:00:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the alarm did not ring"
sleep 0.5
e2e_check "the pop-up does not take the focus" test "$(xdotool getwindowfocus)" != "$popup"
main_menu_keys Down Down Down Return # "Show alarm pop-ups", third
e2e_check "\"Show alarm pop-ups\" gives it the focus" e2e_wait focused "$popup"
xdotool key shift+F10 # its menu; R, Return: remind in five minutes
E2E_TIMEOUT=5 e2e_wait tray_menu || e2e_fail "Shift+F10 did not open the menu"
xdotool key r
sleep 0.5
e2e_screenshot remind-menu
xdotool key Return
e2e_check "putting it off hides the pop-up" e2e_wait e2e_window_gone '^Alarm$'
e2e_set_clock "2026-12-07 11:05:02"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the reminder did not come"
main_menu_keys Down Down Down Return
e2e_check "the reminder takes the focus from the menu" e2e_wait focused "$popup"
xdotool key Escape
e2e_check "Escape puts it away" e2e_wait e2e_window_gone '^Alarm$'
main_menu_keys Down Down Return # "Alarms"
main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "no alarms page"
e2e_check "the main window has the focus" e2e_wait focused "$main"
xdotool key Delete
gone() { ! grep -qx Keys "$data/Alarms"; }
e2e_check "Delete removes the alarm from disk" e2e_wait gone
xdotool key Escape
e2e_check "Escape hides the main window" e2e_wait e2e_window_gone '^Tidra!!! Settings$'
e2e_pass
