#!/bin/sh
# Render Orvida's pictures from the SVG sources in this folder into
# ../images.  Needs only rsvg-convert (librsvg2-bin) and ImageMagick
# (convert); the build never runs this, it uses the rendered files.
#
#   sh resources/art/render.sh
#
# Outputs:
#   die-16/32/48/64/128/256.png, orvida.ico   program and main window icon
#   bolt-16/32/64.png                         picture of the roll button
#   banner.png, banner@2x.png                 banner of the main window
#   about.png, about@2x.png                   picture of the About window
#   about-254x366.ppm                         the same, stretched as the window shows it
#   about-16/32.png                           icon of the About window
#   spanner-16/32.png                         icon of the keypad dialog
set -eu
cd "$(dirname "$0")"
OUT=../images
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$OUT"

# svg SIZE_W SIZE_H SOURCE -> $TMP/raw.png
svg() {
    rsvg-convert -w "$1" -h "$2" "$3" -o "$TMP/raw.png"
}
# icon16 DEST: 16-colour palette, alpha kept
icon16() {
    convert "$TMP/raw.png" -strip -dither None -colors 16 "$1"
}
# full colour with alpha
rgba() {
    convert "$TMP/raw.png" -strip "PNG32:$1"
}

# program icon: hand-tuned small sizes, one drawing for the large ones
svg 16 16 die-16.svg;   icon16 "$OUT/die-16.png"
svg 32 32 die-32.svg;   icon16 "$OUT/die-32.png"
for s in 48 64 128 256; do
    svg $s $s die.svg;  rgba "$OUT/die-$s.png"
done
convert "$OUT/die-16.png" "$OUT/die-32.png" "$OUT/die-48.png" "$OUT/die-256.png" \
    -strip "$OUT/orvida.ico"

# roll button
svg 16 16 bolt-16.svg;  icon16 "$OUT/bolt-16.png"
svg 32 32 bolt.svg;     icon16 "$OUT/bolt-32.png"
svg 64 64 bolt.svg;     icon16 "$OUT/bolt-64.png"

# About window icon and keypad dialog icon
svg 16 16 about-icon-16.svg; icon16 "$OUT/about-16.png"
svg 32 32 about-icon.svg;    icon16 "$OUT/about-32.png"
svg 16 16 spanner-16.svg;    icon16 "$OUT/spanner-16.png"
svg 32 32 spanner.svg;       icon16 "$OUT/spanner-32.png"

# banner: 256 colours on white
for size in "284 92 banner.png" "568 184 banner@2x.png"; do
    set -- $size
    svg "$1" "$2" banner.svg
    convert "$TMP/raw.png" -strip -background white -alpha remove -alpha off \
        -dither None -colors 256 "PNG8:$OUT/$3"
done

# About picture: true colour
for size in "317 287 about.png" "634 574 about@2x.png"; do
    set -- $size
    svg "$1" "$2" about.svg
    convert "$TMP/raw.png" -strip -background white -alpha remove -alpha off \
        "PNG24:$OUT/$3"
done
# ...and that picture already stretched to the 254 x 366 pixels the About window shows it
# at, uncompressed, for the start-up splash to draw without decoding anything
convert "$OUT/about.png" -filter Triangle -resize '254x366!' -depth 8 -strip \
    "PPM:$OUT/about-254x366.ppm"

echo "rendered into $(cd "$OUT" && pwd)"
