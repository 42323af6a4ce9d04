#!/usr/bin/env bash
# Regenerates the application icon's PNG sizes from the SVG drawings next to this script:
# 16 and 32 pixels from the small drawings in small/, which keep the lines on whole pixels,
# the larger sizes from the scalable icon itself. Writes the hicolor theme layout used for
# installing, hicolor/<size>x<size>/apps/<id>.png.
#
# Needs rsvg-convert (Debian: librsvg2-bin). Run from anywhere.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
id=io.github.parallel_ratio.ParallelRatio
command -v rsvg-convert >/dev/null || { echo "missing rsvg-convert (apt install librsvg2-bin)" >&2; exit 1; }

for size in 16 32 48 64 128 256; do
  case $size in
    16|32) source=$here/small/icon-$size.svg ;;
    *)     source=$here/$id.svg ;;
  esac
  out=$here/hicolor/${size}x${size}/apps/$id.png
  mkdir -p "$(dirname "$out")"
  rsvg-convert --width "$size" --height "$size" --format png --output "$out" "$source"
done
