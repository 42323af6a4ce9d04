#!/usr/bin/env bash
# Regenerates the five letter bitmaps shown beside the figure's lines: italic white letters
# on the surface green, baseline JPEG, at the pixel sizes the layout expects.
#
# Font: P052 Italic from Debian's fonts-urw-base35 (AGPL-3.0 with the font exception, a free
# licence); it has the script letter U+2113 that the transversal's name needs.
# Needs ImageMagick (Debian: imagemagick). Run from anywhere; writes next to this script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/opentype/urw-base35/P052-Italic.otf
[ -r "$font" ] || { echo "missing $font (apt install fonts-urw-base35)" >&2; exit 1; }

# name glyph width height
while read -r name glyph w h; do
  convert -size "${w}x${h}" xc:'#008000' \
          -font "$font" -pointsize 34 -fill white -gravity center -annotate +0+0 "$glyph" \
          -strip -interlace none -sampling-factor 1x1 -quality 92 \
          "jpeg:$here/letter_$name.jpg"
done <<'LETTERS'
l ℓ 24 34
m m 35 24
p p 24 34
q q 24 31
r r 24 27
LETTERS
