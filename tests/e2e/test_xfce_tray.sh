#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tidra in XFCE's own panel, whose tray takes both kinds of icon: a panel that
# comes up after Tidra (autostart at login) gets the XEmbed icon Tidra was made
# with, and one right click must open one menu, not that icon's context menu
# as well. A panel already there gets a StatusNotifier item.
source "$(dirname "$0")/lib.sh"
command -v xfce4-panel >/dev/null && command -v dbus-run-session >/dev/null ||
    { echo "SKIP: no xfce4-panel"; exit 77; }
e2e_init xfce_tray bus
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
clicked() { # X Y WHERE: a right click there opens one menu; then Tidra quits
    xdotool mousemove "$1" "$2" click 3
    e2e_check "a right click $3 opens a menu" e2e_wait one_menu
    sleep 0.5 # a second menu would be mapped by now
    e2e_check "and only one" one_menu
    e2e_screenshot "$3"
    xdotool key Escape
    e2e_command --quit
}

e2e_start_tidra
sleep 2 # the panel comes up while Tidra waits for a tray, as at login
xfce4-panel >>"$E2E_TMP/panel.log" 2>&1 &
E2E_PIDS+=($!)
icon=$(e2e_wait_tray_icon) || e2e_fail "no icon in the panel that came late"
read -r _ x y w h <<<"$icon"
clicked $((x + w / 2)) $((y + h / 2)) "on the icon in a late panel"

# The panel runs already: the toolkit makes a StatusNotifier item, whose menu the
# panel draws from the one Tidra hands it.
e2e_start_tidra
item() {
    local name
    name=$(gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
        -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems | grep -o "'[^'/]*" | head -1) || return 1
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
        -m org.freedesktop.DBus.GetConnectionUnixProcessID "${name#\'}" | grep -q "$TIDRA_PID"
}

e2e_check "a panel that is there gets a StatusNotifier item" e2e_wait item
read -r px py pw ph <<<"$(e2e_geometry "$(xdotool search --onlyvisible --class xfce4-panel |
    head -1)")"
# The tray holds Tidra's item alone, at the panel's start.
clicked $((px + ph / 2)) $((py + ph / 2)) "on the item"
e2e_pass
