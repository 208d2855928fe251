#!/usr/bin/env bash
# Redraws the menu icons data/icons/tamaruka-<size>.png: one burst of the
# saver's own simulation and sprite, drawn by make_preview on a square sky.
#   data/icons/make_icons.sh [BUILD_DIR]   (default build/; needs make_preview built)
set -euo pipefail
cd "$(dirname "$0")"
make_preview=${1:-../../build}/bin/make_preview
for size in 16 32 48 64 128 256; do
  "$make_preview" --size "${size}x${size}" "tamaruka-${size}.png"
done
