#!/usr/bin/env python3
"""Turn a word set in an installed font into SVG path data.

The banner's lettering is kept in banner.svg as plain outlines, so neither the
build nor render.sh needs the font.  This tool is only needed to redo the
lettering; it needs python3-fonttools and the font file.

usage: lettering.py FONT TEXT X0 Y0 WIDTH HEIGHT [FIRST_SCALE] [TRACKING]

The word is scaled to fit the box (X0, Y0, WIDTH, HEIGHT) and centred in it;
FIRST_SCALE enlarges the first letter (an initial), TRACKING adds space
between letters (in units of a 100-point size).  Prints the path data.
"""
import sys
from fontTools.ttLib import TTFont
from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.boundsPen import BoundsPen


def main():
    font, text = sys.argv[1], sys.argv[2]
    x0, y0, width, height = map(float, sys.argv[3:7])
    first = float(sys.argv[7]) if len(sys.argv) > 7 else 1.0
    tracking = float(sys.argv[8]) if len(sys.argv) > 8 else 0.0
    f = TTFont(font)
    glyphs = f.getGlyphSet()
    cmap = f.getBestCmap()
    upm = f['head'].unitsPerEm

    # lay the word out at a size of 100, first letter possibly larger
    placed, x = [], 0.0
    left = top = 1e9
    right = bottom = -1e9
    for i, ch in enumerate(text):
        name = cmap[ord(ch)]
        scale = 100.0 * (first if i == 0 else 1.0) / upm
        bp = BoundsPen(glyphs)
        glyphs[name].draw(bp)
        if bp.bounds:
            gx0, gy0, gx1, gy1 = bp.bounds
            left, right = min(left, x + gx0 * scale), max(right, x + gx1 * scale)
            top, bottom = min(top, -gy1 * scale), max(bottom, -gy0 * scale)
        placed.append((name, scale, x))
        x += f['hmtx'][name][0] * scale + (tracking if i + 1 < len(text) else 0)

    # fit into the box
    k = min(width / (right - left), height / (bottom - top))
    ox = x0 + (width - (right - left) * k) / 2 - left * k
    oy = y0 + (height - (bottom - top) * k) / 2 - top * k
    pen = SVGPathPen(glyphs, ntos=lambda v: ('%.2f' % v).rstrip('0').rstrip('.'))
    for name, scale, gx in placed:
        s = scale * k
        glyphs[name].draw(TransformPen(pen, (s, 0, 0, -s, ox + gx * k, oy)))
    print(pen.getCommands())


if __name__ == '__main__':
    main()
