#!/usr/bin/env bash
# Renders trovix.svg, the icon's source, to the PNG sizes of the hicolor theme. The PNGs are kept
# in the repository, so building needs no SVG renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    convert -background none -density 384 trovix.svg -resize "${size}x${size}" \
        "hicolor/${size}x${size}/apps/trovix.png"
done
