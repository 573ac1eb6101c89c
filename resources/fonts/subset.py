#!/usr/bin/env python3
"""Makes the fonts built into Orvida from the Liberation 2.1.5 files in source/.

Orvida's own captions and messages hold only characters of the Windows-1252 character set,
and so does a conf.ini written in that code page. Each font is cut down to those characters,
with its hinting, kerning and layout tables, so that it draws them exactly as the full font
does in a tenth of the size: less to register at start-up and less of it in memory. A conf.ini
may also be UTF-8 (Orvida writes it so when a preset's caption needs it): a character outside
Windows-1252 in a caption is drawn with a system font that has it.

A cut-down font is a modified version, which the SIL Open Font License does not let bear the
reserved name "Liberation": the fonts are named Orvida Sans and Orvida Serif. A name of their
own also keeps a system's own Liberation fonts, of another version, from being drawn in their
place.

Needs python3-fonttools (Debian). The build uses the files this writes, not this script.
Run from anywhere: python3 resources/fonts/subset.py
"""
import os

from fontTools import subset
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONTS = {
    "LiberationSans-Regular.ttf": "OrvidaSans-Regular.ttf",
    "LiberationSans-Bold.ttf": "OrvidaSans-Bold.ttf",
    "LiberationSans-Italic.ttf": "OrvidaSans-Italic.ttf",
    "LiberationSerif-Bold.ttf": "OrvidaSerif-Bold.ttf",
}
# Family, unique identifier, full name and PostScript name carry the font's name.
NAME_IDS = (1, 3, 4, 6)


def windows_1252():
    """Every character the Windows-1252 code page can encode."""
    characters = set()
    for byte in range(0x20, 0x100):
        try:
            characters.add(ord(bytes([byte]).decode("cp1252")))
        except UnicodeDecodeError:
            pass  # 0x81, 0x8D, 0x8F, 0x90 and 0x9D are not assigned
    return sorted(characters)


def main():
    options = subset.Options()
    options.layout_features = ["*"]
    options.hinting = True
    options.legacy_kern = True
    options.drop_tables = ["FFTM"]  # a font editor's time stamps
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.name_legacy = True
    options.glyph_names = True
    options.notdef_outline = True
    options.recommended_glyphs = True
    for source, target in FONTS.items():
        # The dates in the font stay those of the source, so that every run writes the same bytes.
        font = TTFont(os.path.join(HERE, "source", source), recalcTimestamp=False)
        subsetter = subset.Subsetter(options)
        subsetter.populate(unicodes=windows_1252())
        subsetter.subset(font)
        for record in font["name"].names:
            if record.nameID in NAME_IDS:
                text = record.toUnicode().replace("Liberation", "Orvida")
                record.string = text
        font.save(os.path.join(HERE, target))
        print(f"{target}: {os.path.getsize(os.path.join(HERE, target))} bytes")


if __name__ == "__main__":
    main()
