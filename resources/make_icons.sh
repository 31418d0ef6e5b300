#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates resources/icons/*.png (and their @2x variants, which QIcon and
# QPixmap pick up on high-density screens) from the hand-drawn resources/svg/*.svg.
# Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/icons"
mkdir -p "$out"
command -v rsvg-convert >/dev/null || { echo "make_icons: install librsvg2-bin" >&2; exit 1; }

for svg in "$here"/svg/*.svg; do
  name="$(basename "$svg" .svg)"
  # The SVG's own width/height is the 1x size.
  rsvg-convert --zoom 1 -o "$out/$name.png" "$svg"
  rsvg-convert --zoom 2 -o "$out/$name@2x.png" "$svg"
done

# The resource list follows the drawings, so a new SVG needs no hand edit.
{
  echo '<!DOCTYPE RCC>'
  echo '<RCC version="1.0">'
  echo '  <qresource prefix="/">'
  for png in "$out"/*.png; do
    echo "    <file>icons/$(basename "$png")</file>"
  done
  echo '  </qresource>'
  echo '</RCC>'
} >"$here/tidra.qrc"
echo "make_icons: $(ls "$here"/svg/*.svg | wc -l) drawings rendered"
