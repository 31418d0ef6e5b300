#!/usr/bin/env bash
# Installs the build into a staging folder and checks the layout a desktop expects:
# the program with its plug-ins and sound beside it, the launcher link, the menu entry,
# the AppStream data and an icon in every size the entry promises.
set -uo pipefail
: "${TIDRA_BUILD_DIR:?}" "${TIDRA_SOURCE_DIR:?}"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

DESTDIR="$stage" cmake --install "$TIDRA_BUILD_DIR" --prefix /usr >"$stage.log" 2>&1 ||
  { cat "$stage.log"; rm -f "$stage.log"; echo "FAIL: cmake --install"; exit 1; }
rm -f "$stage.log"
root=$stage/usr
id=org.morvane.Tidra

png_size() { # prints WIDTHxHEIGHT from the PNG header
  python3 -c 'import struct,sys
d=open(sys.argv[1],"rb").read(24)
assert d[:8]==b"\x89PNG\r\n\x1a\n", "not a PNG"
print("%dx%d" % struct.unpack(">II", d[16:24]))' "$1" 2>/dev/null
}

# path | what it must be
while IFS='|' read -r path kind; do
  [ -z "$path" ] && continue
  f=$root/$path
  case $kind in
    exec) [ -f "$f" ] && [ -x "$f" ] || fail "$path is not an executable file" ;;
    file) [ -s "$f" ] || fail "$path missing or empty" ;;
    link:*)
      [ -L "$f" ] || { fail "$path is not a symbolic link"; continue; }
      [ "$(readlink "$f")" = "${kind#link:}" ] || fail "$path points to $(readlink "$f"), want ${kind#link:}"
      [ -x "$(readlink -f "$f")" ] || fail "$path does not resolve to an executable" ;;
    png:*)
      [ -f "$f" ] || { fail "$path missing"; continue; }
      got=$(png_size "$f")
      [ "$got" = "${kind#png:}" ] || fail "$path is ${got:-no PNG}, want ${kind#png:}" ;;
    svg) grep -q '<svg' "$f" 2>/dev/null || fail "$path is not an SVG" ;;
    gzip) gzip -t "$f" 2>/dev/null || fail "$path is not gzip-compressed" ;;
  esac
done <<EOT
lib/tidra/tidra|exec
bin/tidra|link:../lib/tidra/tidra
share/applications/$id.desktop|file
share/metainfo/$id.metainfo.xml|file
share/icons/hicolor/scalable/apps/$id.svg|svg
share/icons/hicolor/16x16/apps/$id.png|png:16x16
share/icons/hicolor/22x22/apps/$id.png|png:22x22
share/icons/hicolor/24x24/apps/$id.png|png:24x24
share/icons/hicolor/32x32/apps/$id.png|png:32x32
share/icons/hicolor/48x48/apps/$id.png|png:48x48
share/icons/hicolor/64x64/apps/$id.png|png:64x64
share/icons/hicolor/128x128/apps/$id.png|png:128x128
share/icons/hicolor/256x256/apps/$id.png|png:256x256
share/man/man1/tidra.1.gz|gzip
share/bash-completion/completions/tidra|file
share/doc/tidra/copyright|file
share/doc/tidra/changelog.gz|gzip
EOT

# One licence wherever it is stated, and the changelog's latest entry is this version.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$TIDRA_BUILD_DIR/CMakeCache.txt")
gzip -dc "$root/share/doc/tidra/changelog.gz" 2>/dev/null | head -n1 | grep -q "^tidra ($version) " ||
  fail "the changelog does not begin with version $version"
grep -qx 'License: GPL-3.0-or-later' "$root/share/doc/tidra/copyright" || fail "copyright names another licence"
grep -q '<project_license>GPL-3.0-or-later</' "$root/share/metainfo/$id.metainfo.xml" ||
  fail "metainfo names another licence"

if [ -f "$TIDRA_SOURCE_DIR/resources/oldphone.wav" ]; then
  cmp -s "$TIDRA_SOURCE_DIR/resources/oldphone.wav" "$root/lib/tidra/oldphone.wav" ||
    fail "default sound not installed beside the program"
fi

# Exactly the shipped skins, nothing from the test plug-ins.
want=$(tr ':' '\n' <<<"${TIDRA_SKIN_FILES:-}" | sed '/^$/d' | sort)
have=$( (cd "$root/lib/tidra/skins" 2>/dev/null && ls) | sort)
[ "$want" = "$have" ] || fail "skins folder holds [$(echo $have)], want [$(echo $want)]"

# Every installed binary finds its libraries.
for bin in "$root/lib/tidra/tidra" "$root"/lib/tidra/skins/*; do
  [ -f "$bin" ] || continue
  missing=$(ldd "$bin" 2>&1 | grep 'not found')
  [ -z "$missing" ] || fail "${bin#$root/} misses libraries: $missing"
done

# The menu entry starts what is installed and shows an icon that is installed.
desktop=$root/share/applications/$id.desktop
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/bin/$exec_cmd" ] || fail "Exec=$exec_cmd is not installed in bin/"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no installed icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/share/metainfo/$id.metainfo.xml" ||
  fail "metainfo does not launch $id.desktop"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "installed desktop file does not validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "installed metainfo does not validate"
fi

# The manual page is found by name and reads without a warning.
if command -v man >/dev/null; then
  [ "$(MANPATH=$root/share/man man -w tidra 2>/dev/null)" = "$root/share/man/man1/tidra.1.gz" ] ||
    fail "man does not find tidra in $root/share/man"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/share/man/man1/tidra.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
fi

# Completion offers what the program takes: words typed | what is offered.
completion=$root/share/bash-completion/completions/tidra
while IFS='|' read -r words want; do
  got=$(bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _tidra
    echo "${COMPREPLY[*]}"' _ "$completion" $words 2>&1)
  [ "$got" = "$want" ] || fail "completing [$words]: [$got], want [$want]"
done <<'EOT'
tidra --sh|--show
tidra --show a|alarms about
tidra --show p|popups
tidra --ti|--timer
tidra --timer 1h|1h 1h30m
tidra --list -|
tidra --alarm +25m T|
EOT

[ "$fails" -eq 0 ] && echo "install layout OK" || exit 1
