#!/usr/bin/env bash
# Makes the small test pictures of NPdfImageTest with ImageMagick. Run it
# again after changing the pattern; NPdfImageTest computes the same pattern.
# Colour picture: 9 x 6, pixel (x, y) = (28x, 50y, 12(x+y)) with alpha 255 - 30x.
# Grey picture:   9 x 6, pixel (x, y) = 255 where (x + y) is odd, else 0.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

{ echo "P3 9 6 255"; for y in $(seq 0 5); do for x in $(seq 0 8); do
    echo "$((28 * x)) $((50 * y)) $((12 * (x + y)))"; done; done; } > "$tmp/rgb.ppm"
{ echo "P2 9 6 255"; for y in $(seq 0 5); do for x in $(seq 0 8); do
    echo "$(( (x + y) % 2 * 255 ))"; done; done; } > "$tmp/grey.pgm"
{ echo "P2 9 6 255"; for y in $(seq 0 5); do for x in $(seq 0 8); do
    echo "$((255 - 30 * x))"; done; done; } > "$tmp/alpha.pgm"

im() {
    local args=("$@") out="${!#}"
    unset 'args[-1]'
    convert "${args[@]}" -strip -define png:exclude-chunks=date,time "$out"
}
im "$tmp/rgb.ppm" PNG24:rgb8.png
im "$tmp/rgb.ppm" -interlace PNG PNG24:rgb8-interlaced.png
im "$tmp/rgb.ppm" -depth 16 PNG48:rgb16.png
im "$tmp/rgb.ppm" "$tmp/alpha.pgm" -alpha off -compose copy-opacity -composite PNG32:rgba8.png
im "$tmp/rgb.ppm" "$tmp/alpha.pgm" -alpha off -compose copy-opacity -composite -interlace PNG PNG32:rgba8-interlaced.png
im "$tmp/rgb.ppm" PNG8:palette8.png
im "$tmp/grey.pgm" -define png:color-type=0 -define png:bit-depth=8 grey8.png
im "$tmp/grey.pgm" -define png:color-type=0 -define png:bit-depth=1 grey1.png
im "$tmp/grey.pgm" -define png:color-type=0 -define png:bit-depth=1 -interlace PNG grey1-interlaced.png
im "$tmp/grey.pgm" "$tmp/alpha.pgm" -alpha off -compose copy-opacity -composite \
    -define png:color-type=4 grey-alpha.png
# Black pixels fully transparent through a tRNS colour key.
im "$tmp/grey.pgm" -transparent black -define png:color-type=0 -define png:bit-depth=8 grey8-key.png
convert "$tmp/rgb.ppm" BMP3:rgb24.bmp
convert "$tmp/rgb.ppm" -type palette -compress none BMP3:palette8.bmp
convert "$tmp/rgb.ppm" -type palette BMP3:palette8-rle.bmp
convert "$tmp/grey.pgm" -monochrome BMP3:grey1.bmp
convert "$tmp/rgb.ppm" -define bmp:subtype=RGB565 BMP:rgb565.bmp
convert "$tmp/rgb.ppm" "$tmp/alpha.pgm" -alpha off -compose copy-opacity -composite BMP:rgba32.bmp
convert "$tmp/rgb.ppm" -quality 90 rgb.jpg
convert "$tmp/rgb.ppm" -quality 90 -interlace JPEG progressive.jpg
convert "$tmp/grey.pgm" -quality 90 grey.jpg
convert "$tmp/rgb.ppm" -colorspace CMYK -quality 90 cmyk.jpg
