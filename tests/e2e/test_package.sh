#!/usr/bin/env bash
# The Debian package end to end: build it from this build tree, install it with
# dpkg, start the installed program the way the menu entry does under a tray host,
# quit it, remove the package and check nothing is left behind. Needs root.
set -uo pipefail
: "${TIDRA_BUILD_DIR:?}" "${TIDRA_SOURCE_DIR:?}"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
for tool in dpkg dpkg-deb cpack readelf Xvfb trayer xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done
if dpkg-query -W -f='${Status}' tidra 2>/dev/null | grep -q 'ok installed'; then
  echo "SKIP: a tidra package is installed on this machine; not replacing it"
  exit 77
fi

tmp=$(mktemp -d)
installed=0
cleanup() {
  [ -n "${tidra_pid:-}" ] && kill "$tidra_pid" 2>/dev/null
  [ "$installed" -eq 1 ] && dpkg -r tidra >/dev/null 2>&1
  rm -rf "$tmp"
}
trap cleanup EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds.
wait_until() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}
panel_up() { xdotool search --classname '^panel$' >/dev/null 2>&1; }
tray_icon() { # the program's window embedded in the tray panel
  local panel
  panel=$(xdotool search --classname '^panel$' 2>/dev/null | head -1)
  [ -n "$panel" ] && xwininfo -tree -id "$panel" 2>/dev/null | grep -q '("tidra" "Tidra")'
}
icon_window() {
  local w
  for w in $(xdotool search --onlyvisible --classname '^tidra$' 2>/dev/null); do
    xwininfo -id "$w" | grep -q 'Width: 2[0-9]$' && { echo "$w"; return; }
  done
}
# Starts COMMAND in a fresh home under a virtual display with a tray panel, waits
# for its tray icon, and quits it from the icon's main menu.
smoke_installed() {
  local cmd=$1 rc
  (
    export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_RUNTIME_DIR=$tmp/run
    export XDG_DATA_HOME=$tmp/home/.local/share QT_QPA_PLATFORM=xcb
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
    xvfb=$!
    trap 'kill $xvfb $panel 2>/dev/null' EXIT
    wait_until 10 test -s "$tmp/display" || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=:$(cat "$tmp/display")
    for attempt in 1 2 3; do
      trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
        >"$tmp/trayer.out" 2>&1 &
      panel=$!
      wait_until 20 panel_up && break
      kill $panel 2>/dev/null
    done
    panel_up || { echo "tray panel did not start:"; cat "$tmp/trayer.out"; exit 1; }
    cd "$HOME" && $cmd >"$tmp/tidra.out" 2>&1 &
    pid=$!
    wait_until 20 tray_icon || { echo "no tray icon"; cat "$tmp/tidra.out"; kill $pid; exit 1; }
    icon=$(icon_window)
    # Right click opens the main menu; its last entry is Quit.
    xdotool mousemove --window "$icon" 10 10 click 3
    wait_until 5 bash -c "xdotool search --onlyvisible --classname '^tidra$' | wc -l | grep -qv '^[01]$'"
    xdotool key Up Return
    wait_until 15 bash -c "! kill -0 $pid 2>/dev/null" || { echo "did not quit"; kill $pid; exit 1; }
    wait $pid
    rc=$?
    [ $rc -eq 0 ] || { echo "exit code $rc"; cat "$tmp/tidra.out"; exit 1; }
    [ -f "$XDG_CONFIG_HOME/Morvane/Tidra.conf" ] || { echo "settings not written at quit"; exit 1; }
  )
}

# 1. Build the package from what this tree built (no rebuild, no source changes).
cpack -G DEB --config "$TIDRA_BUILD_DIR/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$tmp"/pkg/tidra_*.deb 2>/dev/null | head -1)
[ -f "$deb" ] || { echo "FAIL: no .deb produced"; exit 1; }
echo "package $(basename "$deb")"

# 2. Every library the program and its skins load is a declared dependency.
depends=$(dpkg-deb -f "$deb" Depends)
dpkg-deb -x "$deb" "$tmp/root"
for elf in "$tmp/root/usr/lib/tidra/tidra" "$tmp"/root/usr/lib/tidra/skins/*; do
  [ -f "$elf" ] || continue
  for lib in $(readelf -d "$elf" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
    path=$(ldconfig -p | awk -v l="$lib" '$1 == l { print $NF; exit }')
    [ -n "$path" ] || { fail "${elf##*/} needs $lib, which is not installed"; continue; }
    pkg=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | head -1 | cut -d: -f1)
    [ -z "$pkg" ] && pkg=$(dpkg -S "$path" 2>/dev/null | head -1 | cut -d: -f1)
    [ -n "$pkg" ] || continue
    tr ',' '\n' <<<"$depends" | awk '{ print $1 }' | grep -qxF "$pkg" || fail "${elf##*/} needs $lib from $pkg, not in Depends: $depends"
  done
done

# 3. Install.
dpkg -i "$deb" >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log"; echo "FAIL: dpkg -i"; exit 1; }
installed=1
desktop=/usr/share/applications/org.morvane.Tidra.desktop
[ "$(readlink -f /usr/bin/tidra)" = /usr/lib/tidra/tidra ] || fail "/usr/bin/tidra does not lead to /usr/lib/tidra/tidra"
want_skins=$(cd "$tmp/root/usr/lib/tidra/skins" 2>/dev/null && ls | sort)
have_skins=$(cd /usr/lib/tidra/skins 2>/dev/null && ls | sort)
[ -n "$have_skins" ] && [ "$want_skins" = "$have_skins" ] || fail "installed skins [$have_skins], packaged [$want_skins]"
if [ -f "$TIDRA_SOURCE_DIR/resources/oldphone.wav" ]; then
  [ -f /usr/lib/tidra/oldphone.wav ] || fail "default sound not installed beside the program"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "installed menu entry does not validate"
fi

# 4. Start it as the menu does: the Exec line, found on PATH, in a fresh session.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
command -v "${exec_line%% *}" >/dev/null || fail "menu command ${exec_line%% *} is not on PATH"
smoke_installed "$exec_line" || fail "installed program did not start, show its tray icon and quit"

# 5. Remove: nothing of the package stays.
dpkg -r tidra >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log"; fail "dpkg -r"; }
installed=0
status=$(dpkg-query -W -f='${Status}' tidra 2>/dev/null)
case $status in "" | *not-installed*) ;; *) fail "package still known to dpkg: $status" ;; esac
while read -r path; do
  path=${path#.}
  [ -e "$path" ] || [ -L "$path" ] || continue
  [ -d "$path" ] && [ ! -L "$path" ] && continue # shared folders such as /usr/share/icons stay
  fail "left behind: $path"
done < <(dpkg-deb -c "$deb" | awk '{ print $6 }')
[ ! -e /usr/lib/tidra ] || fail "left behind: /usr/lib/tidra"

[ $fails -eq 0 ] && echo "package install, start and removal OK" || exit 1
