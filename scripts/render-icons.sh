#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Re-renders the committed PNG icons from the SVG after it changes. The build does
# not do this itself because no SVG renderer is guaranteed on a build machine.
#   scripts/render-icons.sh
set -euo pipefail
cd "$(dirname "$0")/.."
id=io.github.timer_rs232.TimerRS232
svg=gui/icons/$id.svg

for size in 16 32 48 64 128; do
  mkdir -p "gui/icons/$size"
  # Drawn at four times 128 pixels and scaled down, so the small sizes stay smooth;
  # 8-bit RGBA without metadata keeps the files small and byte-stable.
  convert -background none -density 288 "$svg" -resize "${size}x${size}" \
    -strip -depth 8 "PNG32:gui/icons/$size/$id.png"
  echo "wrote gui/icons/$size/$id.png"
done
