#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the application icon into the hicolor sizes the menus and docks ask for.
# Run after editing org.morvane.Tidra.svg; the PNGs are committed so that building
# needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "generate.sh: needs rsvg-convert (librsvg2-bin)" >&2; exit 1; }

svg=org.morvane.Tidra.svg
for size in 16 22 24 32 48 64 128 256; do
  dir=hicolor/${size}x${size}/apps
  mkdir -p "$dir"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$dir/org.morvane.Tidra.png"
done
