#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tidra in XFCE's own panel, whose tray takes both kinds of icon: a panel that
# comes up after Tidra (autostart at login) gets the XEmbed icon Tidra was made
# with, and one right click must open one menu, not that icon's context menu
# as well. A panel already there gets a StatusNotifier item; such a host sends
# no double clicks and draws the menu itself from the D-Bus menu, so the item's
# Activate and the menu's entries must act, and the welcome goes to the
# notification server (the stand-in's).
source "$(dirname "$0")/lib.sh"
command -v xfce4-panel >/dev/null || { echo "SKIP: no xfce4-panel"; exit 77; }
e2e_init_desktop xfce_tray
export XDG_CURRENT_DESKTOP=XFCE
panel_conf=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$panel_conf"
# One panel along the top with the tray alone, so no first-run question.
cat >"$panel_conf/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML
# The bus starts the panel's settings service: with this test's home, not ours.
dbus-update-activation-environment HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME \
    XDG_RUNTIME_DIR
e2e_start_x
dbus-update-activation-environment DISPLAY
e2e_conf '[tray]' showOnStartUp=false
# Menus of any program: viewable override-redirect windows larger than an icon.
menus() {
    local id
    for id in $(xwininfo -root -children | awk '/^ +0x/ { print $1 }'); do
        xwininfo -id "$id" | awk '/Map State: IsViewable/ { v = 1 } /Width:/ { w = $2 }
            /Height:/ { h = $2 } /Override Redirect State: yes/ { o = 1 }
            END { exit !(v && o && w > 64 && h > 64) }' && echo "$id"
    done | wc -l
}
one_menu() { [ "$(menus)" = 1 ]; }
clicked() { # X Y WHERE: a right click there opens one menu
    xdotool mousemove "$1" "$2" click 3
    e2e_check "a right click $3 opens a menu" e2e_wait one_menu
    sleep 0.5 # a second menu would be mapped by now
    e2e_check "and only one" one_menu
    xdotool key Escape
}

e2e_start_tidra
sleep 2 # the panel comes up while Tidra waits for a tray, as at login
xfce4-panel >>"$E2E_TMP/panel.log" 2>&1 &
E2E_PIDS+=($!)
icon=$(e2e_wait_tray_icon) || e2e_fail "no icon in the panel that came late"
read -r _ x y w h <<<"$icon"
clicked $((x + w / 2)) $((y + h / 2)) "on the icon in a late panel"
e2e_command --quit

# The panel runs already, at a first start. A host's left click is Activate:
# here the settings window.
rm -rf "$DATA"
e2e_conf '[tray]' leftClick=2 showOnStartUp=false
e2e_start_tidra
item_found() { # sets item, the bus name of Tidra's item
    item=$(gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
        -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems | grep -o "'[^'/]*" | head -1 | tr -d "'") &&
        gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
            -m org.freedesktop.DBus.GetConnectionUnixProcessID "$item" | grep -q "$TIDRA_PID"
}
e2e_check "a panel that is there gets a StatusNotifier item" e2e_wait item_found
welcome=$'notify\tTidra\tTidra!!! Time Manager:\tUse this icon to setup alarms and timers\t'
welcomed() { test "$(grep -c '^notify' "$HOST_LOG")/$(grep -cF "$welcome" "$HOST_LOG")" = 1/1; }
e2e_check "the welcome, alone, goes to the notification server" e2e_wait welcomed

item_call() { gdbus call --session -d "$item" -o /StatusNotifierItem -m "$@"; }
menu_path=$(item_call org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem Menu |
    sed -n "s/.*objectpath '\([^']*\)'.*/\1/p")
menu_call() { gdbus call --session -d "$item" -o "$menu_path" -m "com.canonical.dbusmenu.$1" \
    -- "${@:2}"; }
item_call org.kde.StatusNotifierItem.Activate 100 5 >/dev/null
w=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "Activate did not show the settings"
e2e_dismiss "$w" Escape || e2e_fail "the settings window does not close"

# The panel draws the item's menu from the one Tidra hands it; its item alone
# is in the tray, at the panel's start.
read -r px py _ ph <<<"$(e2e_geometry "$(xdotool search --onlyvisible --class xfce4-panel |
    head -1)")"
clicked $((px + ph / 2)) $((py + ph / 2)) "on the item"
quit=$(menu_call GetLayout 0 -1 '[]' | grep -oP "<\(\K\d+(?=, \{[^{}]*'label': <'_Quit'>)")
menu_call Event "$quit" clicked "<int32 0>" 0 >/dev/null || e2e_fail "no quit entry"
e2e_wait_exit "$TIDRA_PID" || e2e_fail "still running after quit"
e2e_check "quit from the host's menu exits with 0" test "$E2E_RC" = 0
e2e_pass
