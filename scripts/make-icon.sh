#!/usr/bin/env bash
# Regenerates res/app.ico: one 48x48 image, 32 bits per pixel with alpha.
set -euo pipefail
cd "$(dirname "$0")/.."
convert -size 48x48 xc:none \
  -fill '#1d3b5a' -draw 'roundrectangle 2,2 45,45 9,9' \
  -fill '#e0b04a' -draw 'polygon 24,7 38,24 24,41 10,24' \
  -fill '#1d3b5a' -draw 'circle 24,24 24,17' \
  -define icon:auto-resize=48 -type TrueColorAlpha PNG32:/tmp/qm-icon.png
convert /tmp/qm-icon.png -define icon:auto-resize=48 res/app.ico
rm -f /tmp/qm-icon.png
