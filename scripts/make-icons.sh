#!/bin/sh
# Renders the program icon (resources/app/lumoskop.svg) as the PNG sizes of the hicolor icon
# theme into dist/icons/, for desktops and file managers that do not draw SVG icons. The
# PNGs are committed; run this again after the SVG changes.
#
#   scripts/make-icons.sh [output-folder]      (default: dist/icons)
#
# Needs rsvg-convert (librsvg2-bin; scripts/install-deps.sh --test installs it). ImageMagick is
# no stand-in: its own SVG reader ignores -density and blurs every size above 64 pixels.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
svg="$here/resources/app/lumoskop.svg"
out=${1:-"$here/dist/icons"}
sizes="16 22 24 32 48 64 128 256"

command -v rsvg-convert >/dev/null 2>&1 || { echo "make-icons.sh: rsvg-convert is missing" >&2; exit 1; }

mkdir -p "$out"
for size in $sizes; do
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio --format png \
        --output "$out/lumoskop-$size.png" "$svg"
    echo "$out/lumoskop-$size.png"
done
