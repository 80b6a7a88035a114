#!/usr/bin/env bash
# Renders the icon's PNG sizes from its SVG (with rsvg-convert from librsvg2-bin). Run it
# after changing the SVG and commit the PNGs with it.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../data/icons" && pwd)
"$icons/../../scripts/install-packages.sh" librsvg2-bin
for size in 48 128 256; do
    rsvg-convert -w "$size" -h "$size" "$icons/lumitra.svg" -o "$icons/lumitra-$size.png"
done
