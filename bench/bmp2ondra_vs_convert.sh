#!/usr/bin/env bash
# Compares the whole `bmp2ondra -o` run with ImageMagick decoding the same
# picture (`convert PICTURE rgba:-`), alternating runs of both on this
# machine: median wall time, peak memory (maximum resident set) and the
# ratio. The picture is a 4000 x 3000 PNG of random colours (every run of
# the text is one pixel long), made by ImageMagick with a fixed seed.
#   bench/bmp2ondra_vs_convert.sh [runs]      (default 5; build/x86_64 first)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
# Debian's ImageMagick itself, not a wrapper in front of it.
magick=/usr/bin/convert-im6.q16
[ -x "$magick" ] || magick=/usr/bin/convert
program=build/x86_64/bin/bmp2ondra.exe
work=$(mktemp -d)
source scripts/wine-env.sh
trap 'wine_env_stop; rm -rf "$work"' EXIT
wine_env_start

"$magick" -seed 1 -size 4000x3000 xc: +noise Random -depth 8 "$work/noise.png"
picture=$(winepath -w "$work/noise.png")
output=$(winepath -w "$work/noise.h")
wine "$program" -o "$output" "$picture"    # warm the file cache and the prefix

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
: >"$work/convert.txt"
: >"$work/bmp2ondra.txt"
for ((i = 0; i < runs; i++)); do
  /usr/bin/time -f "%e %M" -a -o "$work/convert.txt" "$magick" "$work/noise.png" rgba:- >/dev/null
  /usr/bin/time -f "%e %M" -a -o "$work/bmp2ondra.txt" wine "$program" -o "$output" "$picture"
done
ct=$(cut -d' ' -f1 "$work/convert.txt" | median)
cm=$(cut -d' ' -f2 "$work/convert.txt" | sort -n | tail -1)
bt=$(cut -d' ' -f1 "$work/bmp2ondra.txt" | median)
bm=$(cut -d' ' -f2 "$work/bmp2ondra.txt" | sort -n | tail -1)
size=$(stat -c %s "$work/noise.h")
echo "ImageMagick ($magick) rgba:-   median ${ct} s   peak $((cm / 1024)) MB"
echo "bmp2ondra -o                       median ${bt} s   peak $((bm / 1024)) MB   text $((size / 1048576)) MB"
awk -v b="$bt" -v c="$ct" 'BEGIN {printf "time ratio bmp2ondra / ImageMagick: %.2f (%d runs each)\n", b / c, '"$runs"'}'
