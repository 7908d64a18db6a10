#!/usr/bin/env bash
# Renders the coin icon's PNG sizes for the hicolor theme and the window from
# the two hand-drawn SVGs: the detailed one from 32 pixels up, the simplified
# one below, where the detailed rims would blur into each other. The PNGs are
# committed, so building needs no SVG renderer; run this after editing an SVG.
# Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for size in 16 22 24 32 48 64 128 256; do
  svg=stellaro.svg
  [ "$size" -le 24 ] && svg=stellaro-small.svg
  mkdir -p "hicolor/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "hicolor/${size}x${size}/stellaro.png"
done
