#!/usr/bin/env bash
# Regenerates the application icon's PNG sizes from the SVG drawings next to this script:
# a size that has its own small drawing, small/icon-<size>.svg, which keeps the lines on whole
# pixels, from that; the others from the scalable icon itself. Writes the hicolor theme
# layout used for installing, hicolor/<size>x<size>/apps/<id>.png.
#
#   make_icons.sh <app-id> <size>...
# The build passes the id and sizes of cmake/Identity.cmake: cmake --build build --target icons
#
# Needs rsvg-convert (Debian: librsvg2-bin). Run from anywhere.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 <app-id> <size>..." >&2; exit 2; }
id=$1
shift
command -v rsvg-convert >/dev/null || { echo "missing rsvg-convert (apt install librsvg2-bin)" >&2; exit 1; }

for size in "$@"; do
  source=$here/small/icon-$size.svg
  [ -f "$source" ] || source=$here/$id.svg
  out=$here/hicolor/${size}x${size}/apps/$id.png
  mkdir -p "$(dirname "$out")"
  rsvg-convert --width "$size" --height "$size" --format png --output "$out" "$source"
done
