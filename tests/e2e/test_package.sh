#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package built from this build tree: lintian finds nothing (it reads
# the manual page, icon sizes, copyright and changelog); it holds the program with
# its skins and sound beside it, the launcher link, a menu entry and AppStream
# data that validate and name what is installed, and a completion that offers
# what the program takes (dpkg-shlibdeps declares the
# libraries it loads). As root it is also installed, started as the menu does
# under a tray host, quit and removed without a trace.
set -uo pipefail
: "${TIDRA_BUILD_DIR:?}" "${TIDRA_SOURCE_DIR:?}"
type -P dpkg dpkg-deb cpack lintian desktop-file-validate appstreamcli >/dev/null ||
  { echo "SKIP: packaging tools are missing"; exit 77; }
tmp=$(mktemp -d)
installed=0
trap '[ $installed = 1 ] && dpkg_locked -r tidra; rm -rf "$tmp"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
dpkg_locked() { # dpkg ARGS..., waiting while apt or another dpkg holds the database
  local tries=0
  until dpkg "$@" >"$tmp/dpkg.log" 2>&1; do
    grep -qi 'lock' "$tmp/dpkg.log" && [ $((tries += 1)) -lt 120 ] || return 1
    sleep 1
  done
}

cpack -G DEB --config "$TIDRA_BUILD_DIR/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$tmp"/pkg/tidra_*.deb)
lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 ||
  fail "lintian: $(grep -E '^[EW]:' "$tmp/lintian.log" || cat "$tmp/lintian.log")"
dpkg-deb -x "$deb" "$tmp/root"
root=$tmp/root/usr id=org.morvane.Tidra

# The manual page, copyright and changelog are lintian's; the completion is tried below.
[ "$(readlink "$root/bin/tidra")" = ../lib/tidra/tidra ] || fail "bin/tidra is no link to it"
cmp -s "$TIDRA_SOURCE_DIR/resources/oldphone.wav" "$root/lib/tidra/oldphone.wav" || fail "no sound"
[ "$(cd "$TIDRA_BUILD_DIR/skins" && ls ./*.so)" = "$(cd "$root/lib/tidra/skins" && ls ./*)" ] ||
  fail "the skins folder holds other files than the built skins"

# The menu entry and AppStream data validate and name what is installed.
desktop=$root/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "the menu entry does not validate"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "the metainfo does not validate"
grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg" ||
  fail "Icon= has no installed scalable icon"

offered() { # WORDS...: what the completion offers for the last one
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _tidra
    echo "${COMPREPLY[*]}"' _ "$root/share/bash-completion/completions/tidra" "$@" 2>&1
}
[ "$(offered tidra --show a)" = "alarms about" ] || fail "--show a: [$(offered tidra --show a)]"

# As root: install, start from the menu entry's command, quit, remove.
if [ "$(id -u)" -ne 0 ]; then
  echo "not root: the package is not installed"
elif dpkg-query -W -f='${Status}' tidra 2>/dev/null | grep -q 'ok installed'; then
  echo "a tidra package is installed on this machine; not replacing it"
else
  exec 9>/var/lock/tidra-package-test.lock # other checkouts on this machine: one at a time
  flock -w 240 9 || fail "another package test holds the lock"
  dpkg_locked -i "$deb" || { cat "$tmp/dpkg.log"; echo "FAIL: dpkg -i"; exit 1; }
  installed=1
  exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/$id.desktop)
  (
    TIDRA_BIN=$(command -v "${exec_line%% *}") || exit 1
    source "$TIDRA_SOURCE_DIR/tests/e2e/lib.sh"
    e2e_desktop package
    E2E_TIMEOUT=30 # a loaded machine starts a fresh install slowly
    e2e_start_in_tray
    e2e_menu 3 Up Return # the last entry: Quit
    e2e_wait_exit "$TIDRA_PID" && [ "$E2E_RC" = 0 ] || e2e_fail "Quit did not end it with 0"
    e2e_pass
  ) || fail "the installed program did not start from its menu command, show its icon and quit"
  dpkg_locked -r tidra || { cat "$tmp/dpkg.log"; fail "dpkg -r"; }
  installed=0
  # dpkg takes what it installed; what the program wrote beside itself would stay.
  [ ! -e /usr/lib/tidra ] || fail "left behind: /usr/lib/tidra"
fi
[ $fails = 0 ] && echo "package OK" || exit 1
