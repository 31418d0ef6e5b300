#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tidra needs to build and test; only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config libical-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-image-formats-plugins libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libbenchmark-dev
  rsync perl
  xvfb xauth trayer xdotool x11-utils imagemagick faketime dbus python3-dbus python3-gi pulseaudio pulseaudio-utils
  clang libclang-rt-14-dev
  desktop-file-utils appstream lintian man-db
  qt6ct
  xfce4-panel dunst at-spi2-core python3-pyatspi weston xwayland
  qtkeychain-qt6-dev radicale gnome-keyring libsecret-tools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo for: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
