#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray on a StatusNotifier host (KDE Plasma, GNOME with an AppIndicator
# extension): the host sends no double clicks and draws the menu itself, so every
# tray action has to be reachable through the D-Bus menu and the item's methods.
# Runs on a private session bus with a stand-in host and notification server, and
# no XEmbed tray at all.
source "$(dirname "$0")/lib.sh"
e2e_init_desktop dbus_tray
log=$HOST_LOG
e2e_start_x
# A host's left click is Activate, its middle click SecondaryActivate: the settings
# page and the fast-actions menu.
e2e_conf '[tray]' leftClick=2 middleClick=1 showOnStartUp=false

e2e_start_tidra
e2e_wait grep -q '^item' "$log" || e2e_fail "no StatusNotifier item registered"
IFS=$'\t' read -r _ item item_path _ < <(grep -m1 '^item' "$log")
item_call() {
  gdbus call --session -d "$item" -o "$item_path" \
    -m "org.kde.StatusNotifierItem.$1" 100 5 >/dev/null
}
# First start (no data folder yet): the welcome balloon goes to the desktop's
# notification server.
welcome=$'notify\tTidra\tTidra!!! Time Manager:\tUse this icon to setup alarms and timers\t'
has_welcome() { grep -qF "$welcome" "$log"; }
e2e_check "the welcome balloon goes to the notification server" e2e_wait has_welcome
e2e_check "it is the only balloon" test "$(grep -c '^notify' "$log")" = 1

menu_path=$(gdbus call --session -d "$item" -o "$item_path" -m org.freedesktop.DBus.Properties.Get \
  org.kde.StatusNotifierItem Menu | sed -n "s/.*objectpath '\([^']*\)'.*/\1/p")
[ -n "$menu_path" ] || e2e_fail "the item offers no menu"

# The host's view of the menu, one "id<TAB>label" line per entry, "-" for separators.
menu_entries() {
  gdbus call --session -d "$item" -o "$menu_path" -m com.canonical.dbusmenu.GetLayout -- 0 -1 '[]' |
    grep -oP "<\(\d+, \{[^{}]*\}" |
    sed -E -e "s/^<\(([0-9]+), .*'separator'.*/\1\t-/" \
      -e "s/^<\(([0-9]+), .*'label': <'([^']*)'>.*/\1\t\2/"
}
click_entry() { # label, as the host would on a click
  local id
  id=$(menu_entries | awk -F'\t' -v l="$1" '$2 == l { print $1; exit }')
  [ -n "$id" ] || return 1
  gdbus call --session -d "$item" -o "$menu_path" -m com.canonical.dbusmenu.Event -- \
    "$id" clicked '<int32 0>' 0 >/dev/null
}
menu_id() { local m; m=$(e2e_visible_menu) && echo "${m%% *}"; }
menu_gone() { ! e2e_visible_menu >/dev/null; }

# Every tray action, in the order the host shows them.
expected="Add New Alarm|Add New Timer|-|Home Site|-|Date and time|Alarms|Show alarm pop-ups"
expected+="|Timers and countdowns|-|Work schedule|Settings|-|About|-|_Quit"
got=$(menu_entries | cut -f2 | paste -sd'|')
[ "$got" = "$expected" ] || e2e_fail "host menu is [$got], want [$expected]"

# how | what | window that must appear ("menu": a menu popped up at the cursor); the
# entries that open a page of the settings window are one kind.
while IFS='|' read -r how what title; do
  [ -z "$how" ] && continue
  case $how in
    menu) click_entry "$what" || e2e_fail "no menu entry $what" ;;
    item) item_call "$what" ;;
  esac
  if [ "$title" = menu ]; then
    w=$(e2e_wait menu_id && menu_id) || e2e_fail "$how $what opened no menu"
    e2e_press_key "$w" Escape
    e2e_check "the menu from $how $what closes on Escape" e2e_wait menu_gone
  else
    w=$(e2e_wait_window "^$title\$") || e2e_fail "$how $what did not show \"$title\""
    e2e_press_key "$w" Escape
    e2e_check "\"$title\" closes on Escape" e2e_wait e2e_window_gone "^$title\$"
  fi
done <<'EOT'
menu|Add New Alarm|Alarm
menu|Add New Timer|Timer/Stopwatch
menu|Work schedule|Tidra!!! Settings
item|Activate|Tidra!!! Settings
item|SecondaryActivate|menu
item|ContextMenu|menu
EOT

# Quit from the host's menu ends the program normally and keeps its files.
click_entry _Quit || e2e_fail "no quit entry"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "still running after quit"
e2e_check "quit exits with 0" test "$E2E_RC" = 0
e2e_pass
