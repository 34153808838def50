#!/usr/bin/env bash
# Renders the icon's PNG sizes from the SVG after it changes (rsvg-convert, from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "$size"
  rsvg-convert -w "$size" -h "$size" io.github.quillet.Quillet.svg -o "$size/io.github.quillet.Quillet.png"
done
