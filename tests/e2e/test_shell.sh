#!/usr/bin/env bash
# Start-up, single instance, tray menus and Quit of the real program.
source "$(dirname "$0")/lib.sh"
e2e_init shell
e2e_start_x
e2e_start_tray

conf="$XDG_CONFIG_HOME/Morvane/Tidra.conf"
entry="$XDG_CONFIG_HOME/autostart/Tidra.desktop"

# Two starts at the same moment: exactly one stays.
e2e_start_tidra
e2e_run_tidra other
e2e_check "the tray icon appears" e2e_wait_tray_icon
box=$(e2e_wait_window '^Tidra$') || e2e_fail "no one-instance message"
e2e_screenshot one-instance-message
e2e_check "the one-instance message can be answered" e2e_dismiss "$box"
first_rc=""
for pid in "$TIDRA_PID" "$other"; do
    if e2e_wait_exit "$pid" 5; then
        rc=$E2E_RC
        [ -z "$first_rc" ] || e2e_fail "both starts ended"
        first_rc=$rc
        [ "$pid" = "$TIDRA_PID" ] && TIDRA_PID=$other
    fi
done
e2e_check "the refused start exits with 0" test "$first_rc" = 0
e2e_check "the other start keeps running" kill -0 "$TIDRA_PID"

e2e_check "the settings window shows on first start" e2e_wait_window '^Tidra!!! Settings$'
e2e_screenshot first-start
if [ -d "$HOME/.Tidra" ]; then
    e2e_check "first start registers with the session" test -f "$entry"
    e2e_check "the entry starts this program" grep -q "^Exec=\"$TIDRA_BIN\"$" "$entry"
fi

# A later second start is refused the same way and leaves the first alone.
e2e_run_tidra second
box=$(e2e_wait_window '^Tidra$') || e2e_fail "no one-instance message for a later start"
e2e_check "the message can be answered" e2e_dismiss "$box"
e2e_wait_exit "$second" || e2e_fail "the second start did not end"
rc=$E2E_RC
e2e_check "second start exits with 0" test "$rc" = 0
e2e_check "the first instance is still running" kill -0 "$TIDRA_PID"
e2e_check "its tray icon is still there" e2e_tray_icon

# Right click: the main menu; its last entry quits after writing the settings.
e2e_click_tray_icon 3
menu=$(E2E_TIMEOUT=5 e2e_wait e2e_visible_menu && e2e_visible_menu) || e2e_fail "no main menu"
e2e_screenshot main-menu
read -r _ mx my mw mh <<<"$menu"
e2e_check "the main menu has all its entries" test "$mh" -gt 120
rm -f "$conf"
xdotool mousemove $((mx + 30)) $((my + mh - 10)) click 1
e2e_wait_exit "$TIDRA_PID" || e2e_fail "Quit did not end the program"
rc=$E2E_RC
e2e_check "Quit exits with 0" test "$rc" = 0
e2e_check "the settings were written at exit" grep -q '^leftClick=1$' "$conf"
e2e_check "the lock was released" test ! -e "$XDG_RUNTIME_DIR/Tidra.lock"

# A desktop without a tray: the message, exit code 1, nothing written.
e2e_stop_tray
rm -f "$conf"
e2e_start_tidra
box=$(E2E_TIMEOUT=20 e2e_wait_window '^Tidra$') || e2e_fail "no missing-tray message"
e2e_screenshot no-tray-message
e2e_check "no settings window without a tray" e2e_window_gone '^Tidra!!! Settings$'
e2e_check "the missing-tray message can be answered" e2e_dismiss "$box"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "the program did not end without a tray"
rc=$E2E_RC
e2e_check "no tray gives exit code 1" test "$rc" = 1
e2e_check "nothing was written without a tray" test ! -e "$conf"
e2e_pass
