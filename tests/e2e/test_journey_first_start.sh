#!/usr/bin/env bash
# A new user's first start: the welcome balloon at the tray icon, the settings
# window, the session's autostart entry. Settings changed with the mouse on
# the settings page are stored at once and rule the next start: the window
# stays away and a left click now opens the alarm editor.
source "$(dirname "$0")/lib.sh"
e2e_init journey_first_start
e2e_start_x 1280x800
e2e_start_tray

conf=$XDG_CONFIG_HOME/Morvane/Tidra.conf
entry=$XDG_CONFIG_HOME/autostart/Tidra.desktop

e2e_start_tidra
icon=$(e2e_wait_tray_icon) || e2e_fail "no tray icon"
main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "no settings window on the first start"
balloon=$(e2e_wait e2e_balloon && e2e_balloon) || e2e_fail "no welcome balloon"
e2e_screenshot first-start
read -r _ ix _ iw _ <<<"$icon"
read -r _ bx by bw _ <<<"$balloon"
e2e_check "the balloon points at the tray icon" test "$bx" -le "$ix" -a $((bx + bw)) -ge $((ix + iw / 2)) -a "$by" -le 60
e2e_check "the data folder was made" test -d "$HOME/.Tidra"
e2e_check "the first start registers with the session" e2e_wait test -f "$entry"
e2e_check "the entry starts this program" grep -q "^Exec=\"$TIDRA_BIN\"$" "$entry"
e2e_check "the defaults are stored" e2e_wait grep -q '^leftClick=1$' "$conf"
e2e_close_balloon || e2e_fail "the balloon does not go away on a click"

# --- Settings -> "Tray Icon": left click "Add New Alarm", no window at start ---
e2e_pick_main settings
e2e_click_at "$main" 136 52 # the "Tray Icon" tab
e2e_click_at "$main" 415 84 # "On Left Click"
sleep 0.3
xdotool key Down Down Return # two below "Show Fast Actions Menu"
e2e_click_at "$main" 118 195 # "Show this dialog on startup"
e2e_screenshot tray-settings
stored() { grep -q '^leftClick=3$' "$conf" && grep -q '^showOnStartUp=false$' "$conf"; }
e2e_check "the changes are stored at once" e2e_wait stored
e2e_click_at "$main" -37 -37 # the check mark closes the window
e2e_check "the window hides" e2e_wait e2e_window_gone '^Tidra!!! Settings$'
e2e_check "hiding it keeps the program running" kill -0 "$TIDRA_PID"

e2e_pick_main quit
e2e_wait_exit "$TIDRA_PID" || e2e_fail "Quit did not end the program"
e2e_check "Quit exits with 0" test "$E2E_RC" = 0
e2e_check "the changes survive the exit" stored

# --- the next start follows them ---
e2e_start_tidra
e2e_check "the tray icon appears again" e2e_wait_tray_icon
e2e_click_tray_icon 1
editor=$(e2e_wait_window '^Alarm$') || e2e_fail "a left click did not open the alarm editor"
e2e_screenshot second-start
e2e_check "no settings window at the second start" e2e_window_gone '^Tidra!!! Settings$'
no_balloon() { ! e2e_balloon >/dev/null; }
e2e_check "no welcome balloon at the second start" no_balloon
e2e_check "the editor can be cancelled" e2e_dismiss "$editor" Escape
e2e_check "the autostart entry is still there" test -f "$entry"
e2e_pass
