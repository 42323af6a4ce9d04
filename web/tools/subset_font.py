#!/usr/bin/env python3
"""Makes a WOFF2 subset of a font holding the glyphs of the given characters, under a new
family name.

    subset_font.py SOURCE CHARS.txt OUT.woff2 "FAMILY NAME" [--no-hinting] [--bold]

The subset keeps the layout features and hinting of the source, so text looks as it does
with the installed face; --no-hinting drops the hints, for a face whose outlines are drawn
as they are at any size. --bold makes a bold face of a regular one, as the desktop program
shows it: every outline grows by a 24th of the em, rightwards and upwards, as FreeType
emboldens a face of one weight, and the face is named and flagged bold. A browser draws such
a face as it is, where each engine would embolden the regular face its own way (or hardly at
all). Its hints would hold the stems at the regular widths, so it goes with --no-hinting.
The name table is rewritten: a subset is a derived font, and the licence of the IPA faces
forbids a derived font to carry the original's name; the others are named alike."""
import math
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

# How much wider and taller bold is than the regular face, in ems: FreeType's synthetic bold,
# which Qt applies to a face without a bold weight.
kBoldGrowth = 1 / 24


def rename(font, family):
    name = font["name"]
    style = name.getDebugName(2) or "Regular"
    postscript = family.replace(" ", "") + "-" + style.replace(" ", "")
    for record in list(name.names):
        # Family, subfamily kept; full name, unique id, PostScript name, typographic family
        # and the like all carry the original's name.
        if record.nameID in (1, 16):
            record.string = family
        elif record.nameID in (3, 4):
            record.string = family if style == "Regular" else f"{family} {style}"
        elif record.nameID == 6:
            record.string = postscript
        elif record.nameID in (17,):
            record.string = style
    # Anything else that names the original face (e.g. the PostScript CID name) goes.
    for record in list(name.names):
        if record.nameID in (20, 21, 22):
            name.removeNames(nameID=record.nameID)
    if "CFF " in font:
        font["CFF "].cff.fontNames = [postscript]


def _neighbour(points, i, step):
    """Index of the nearest point before (step -1) or after (step 1) point i of a closed
    contour that lies elsewhere, or None when the whole contour is one point: a repeated
    point has no direction of its own."""
    for k in range(1, len(points)):
        j = (i + step * k) % len(points)
        if points[j] != points[i]:
            return j
    return None


def grow_contour(points, half, turn):
    """The contour with each edge `half` further out of the ink along its normal, a corner
    where its two moved edges meet, and all of it moved by `half` right and up so that the
    left and bottom of the ink stay where they were (the ink grows by 2 * half across and
    up, as FreeType's emboldening does). `turn` is 1 for a contour that turns the way the
    glyph's outer contours do, -1 against: strokes widen, counters narrow. As there, a corner
    sharper than about 160 degrees does not move out, and at a convex corner the point moves
    along the edges no further than the shorter edge is long, so a spike stays a spike."""
    out = []
    for i, (x, y) in enumerate(points):
        p, n = _neighbour(points, i, -1), _neighbour(points, i, 1)
        dx = dy = 0.0
        if p is not None:
            ix, iy = x - points[p][0], y - points[p][1]
            ox, oy = points[n][0] - x, points[n][1] - y
            il, ol = math.hypot(ix, iy), math.hypot(ox, oy)
            ix, iy, ox, oy = ix / il, iy / il, ox / ol, oy / ol
            cos = ix * ox + iy * oy
            if cos > -0.9375:
                # The sum of the two edges' outward normals, and the scale that brings it to
                # the meeting point of the moved edges: half / (1 + cos).
                sx, sy = -turn * (iy + oy), turn * (ix + ox)
                sin = turn * (iy * ox - ix * oy)
                shorter = min(il, ol)
                f = half / (1 + cos) if half * sin <= shorter * (1 + cos) else shorter / sin
                dx, dy = sx * f, sy * f
        out.append((x + dx + half, y + dy + half))
    return out


def embolden(font, growth):
    """Every glyph of a TrueType face `growth` ems wider and taller; advances stay, left
    bearings follow the ink. The face becomes the bold of its family."""
    glyf, hmtx = font["glyf"], font["hmtx"]
    half = growth * font["head"].unitsPerEm / 2
    for name in font.getGlyphOrder():
        g = glyf[name]
        if g.numberOfContours <= 0:  # empty, or made of glyphs that grow themselves
            continue
        coords, contours, start = list(g.coordinates), [], 0
        for end in g.endPtsOfContours:
            contours.append(coords[start:end + 1])
            start = end + 1
        # TrueType's outer contours run clockwise: the glyph's signed area is negative.
        area = sum(x0 * y1 - x1 * y0 for c in contours for (x0, y0), (x1, y1) in zip(c, c[1:] + c[:1]))
        turn = 1 if area < 0 else -1
        grown = [pt for c in contours for pt in grow_contour(c, half, turn)]
        g.coordinates = type(g.coordinates)([(round(x), round(y)) for x, y in grown])
        g.recalcBounds(glyf)
        hmtx[name] = (hmtx[name][0], g.xMin)
    os2 = font["OS/2"]
    os2.usWeightClass = 700
    os2.fsSelection = (os2.fsSelection | 0x20) & ~0x40  # bold, no longer regular
    font["head"].macStyle |= 0x1
    for record in font["name"].names:
        if record.nameID in (2, 17):
            record.string = "Bold"


def main():
    flags = {a for a in sys.argv[1:] if a.startswith("--")}
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if len(args) != 4 or not flags <= {"--no-hinting", "--bold"}:
        sys.exit(__doc__)
    source, chars_file, out, family = args
    with open(chars_file, encoding="utf-8") as f:
        text = f.read()
    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = ["*"]
    options.name_IDs = [0, 1, 2, 3, 4, 5, 6, 13, 14, 16, 17]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.hinting = "--no-hinting" not in flags
    font = TTFont(source)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=text)
    subsetter.subset(font)
    if "--bold" in flags:
        if "glyf" not in font:
            sys.exit(f"{source}: --bold needs TrueType outlines")
        embolden(font, kBoldGrowth)
    rename(font, family)
    font.flavor = "woff2"
    font.save(out)


if __name__ == "__main__":
    main()
