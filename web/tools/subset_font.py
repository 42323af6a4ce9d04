#!/usr/bin/env python3
"""Makes a WOFF2 subset of a font holding the glyphs of the given characters, under a new
family name.

    subset_font.py SOURCE CHARS.txt OUT.woff2 "FAMILY NAME" [--no-hinting]

The subset keeps the layout features and hinting of the source, so text looks as it does
with the installed face; --no-hinting drops the hints, for a face whose outlines are drawn
as they are at any size. The name table is rewritten: a subset is a derived font, and the
licence of the IPA faces forbids a derived font to carry the original's name; the others
are named alike."""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont


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


def main():
    args = [a for a in sys.argv[1:] if a != "--no-hinting"]
    if len(args) != 4:
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
    options.hinting = "--no-hinting" not in sys.argv[1:]
    font = TTFont(source)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=text)
    subsetter.subset(font)
    rename(font, family)
    font.flavor = "woff2"
    font.save(out)


if __name__ == "__main__":
    main()
