#!/bin/bash
# Test pictures for the frame tests, made with ImageMagick at build time (the
# tests run under Wine and cannot start it): an animated GIF, a two-page
# TIFF, and how ImageMagick shows their frames, side by side.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
# Three frames, 12 x 8: red all over (0.1 s); a blue 5 x 3 patch at (2, 1)
# whose area is cleared after it (0.2 s); a lime 4 x 4 patch at (7, 3) (0.35 s).
convert -dispose None -delay 10 -size 12x8 xc:red \
        -dispose Background -delay 20 -page +2+1 -size 5x3 xc:blue \
        -dispose Previous -delay 35 -page +7+3 -size 4x4 xc:lime \
        -loop 0 three.gif
# What a viewer shows: cleared areas transparent, here black.
convert three.gif -coalesce -background black -alpha remove +append +repage three-frames.png
# Interlaced, 10 x 9: red (0.05 s); a blue 4 x 5 patch at (1, 2) after which
# the canvas returns to what it was (0.5 s); a lime 3 x 5 patch at (5, 3)
# with a transparent pixel at its bottom left (0.07 s).
convert -dispose None -delay 5 -size 10x9 xc:red \
        -dispose Previous -delay 50 -page +1+2 -size 4x5 xc:blue \
        -dispose None -delay 7 -page +5+3 \( -size 3x5 xc:lime -alpha set -fill none -draw 'color 0,4 point' \) \
        -interlace GIF -loop 0 back.gif
convert back.gif -coalesce -background black -alpha remove +append +repage back-frames.png
# Two pages of 5 x 4, each asymmetric.
convert -size 5x4 xc:white -fill blue -draw 'point 0,0' -fill red -draw 'point 4,1' page0.png
convert -size 5x4 xc:navy -fill yellow -draw 'rectangle 0,3 1,3' page1.png
convert page0.png page1.png -type TrueColor -compress none two.tif
convert two.tif +append +repage two-pages.png
rm -f page0.png page1.png
# A small photo.
convert rose: -resize 24x16! rose.png
