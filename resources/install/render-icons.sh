#!/usr/bin/env bash
# Renders the committed PNG icons from velmoplayer.svg. Run after editing the
# SVG; needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 128; do
  rsvg-convert -w "$size" -h "$size" velmoplayer.svg -o "velmoplayer-$size.png"
done
