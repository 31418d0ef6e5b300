#!/usr/bin/env bash
# The Debian package end to end: build it from this build tree, install it with
# dpkg, start the installed program the way the menu entry does under a tray host,
# quit it, remove the package and check nothing is left behind. Needs root.
set -uo pipefail
: "${TIDRA_BUILD_DIR:?}" "${TIDRA_SOURCE_DIR:?}"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
for tool in dpkg dpkg-deb cpack readelf; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done
# Other checkouts on this machine run this test too: one at a time.
exec 9>/var/lock/tidra-package-test.lock
flock -w 240 9 || { echo "FAIL: another package test holds the lock"; exit 1; }
if dpkg-query -W -f='${Status}' tidra 2>/dev/null | grep -q 'ok installed'; then
  echo "SKIP: a tidra package is installed on this machine; not replacing it"
  exit 77
fi

tmp=$(mktemp -d)
installed=0
cleanup() {
  [ "$installed" -eq 1 ] && dpkg_locked -r tidra
  rm -rf "$tmp"
}
trap cleanup EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
# dpkg ARGS..., waiting while apt or another dpkg holds the database.
dpkg_locked() {
  local tries=0
  until dpkg "$@" >"$tmp/dpkg.log" 2>&1; do
    grep -qi 'lock' "$tmp/dpkg.log" && [ $((tries += 1)) -lt 120 ] || return 1
    sleep 1
  done
}

# Starts the installed COMMAND in a fresh home under a virtual display with a tray
# panel, waits for its tray icon, and quits it from the icon's main menu.
smoke_installed() (
  TIDRA_BIN=$(command -v "$1") || exit 1
  source "$TIDRA_SOURCE_DIR/tests/e2e/lib.sh"
  e2e_init package
  e2e_start_x
  e2e_start_tray
  e2e_start_tidra
  E2E_TIMEOUT=30 # a loaded machine starts a fresh install slowly
  e2e_check "the installed program shows its tray icon" e2e_wait_tray_icon
  e2e_click_tray_icon 3
  E2E_TIMEOUT=5 e2e_wait e2e_visible_menu || e2e_fail "no main menu on a right click"
  xdotool key Up Return # the last entry: Quit
  e2e_wait bash -c "! kill -0 $TIDRA_PID" || e2e_fail "Quit did not end the program"
  wait "$TIDRA_PID"
  e2e_check "Quit exits with 0" test $? = 0
  e2e_check "the settings were written" test -f "$XDG_CONFIG_HOME/Morvane/Tidra.conf"
  e2e_pass
)

# 1. Build the package from what this tree built (no rebuild, no source changes).
cpack -G DEB --config "$TIDRA_BUILD_DIR/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$tmp"/pkg/tidra_*.deb 2>/dev/null | head -1)
[ -f "$deb" ] || { echo "FAIL: no .deb produced"; exit 1; }
echo "package $(basename "$deb")"

# 2. Lintian finds nothing to complain about at its default level.
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 ||
    fail "lintian: $(grep -E '^[EW]:' "$tmp/lintian.log" || cat "$tmp/lintian.log")"
else
  echo "lintian not installed: not checked"
fi

# 3. Every library the program and its skins load is a declared dependency.
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

# 4. Install.
dpkg_locked -i "$deb" || { cat "$tmp/dpkg.log"; echo "FAIL: dpkg -i"; exit 1; }
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
[ "$(man -w tidra 2>/dev/null)" = /usr/share/man/man1/tidra.1.gz ] || fail "man tidra finds no page"
for f in copyright changelog.gz; do
  [ -s /usr/share/doc/tidra/$f ] || fail "/usr/share/doc/tidra/$f is not installed"
done

# 5. Start it as the menu does: the Exec line, found on PATH, in a fresh session.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
command -v "${exec_line%% *}" >/dev/null || fail "menu command ${exec_line%% *} is not on PATH"
smoke_installed "$exec_line" || fail "installed program did not start, show its tray icon and quit"

# 6. Remove: nothing of the package stays.
dpkg_locked -r tidra || { cat "$tmp/dpkg.log"; fail "dpkg -r"; }
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
