#!/usr/bin/env bash
# The cost of --frames: a 32-frame 320 x 240 animation (a photo turning,
# every frame different) converted with --frames and, for comparison, only
# its first frame; median wall times, the time per further frame, and the
# flash figures --stats reports for it and for a 320 x 240 photo.
#   bench/bmp2ondra_frames.sh [runs] [build folder]   (default 5, build/x86_64)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
build=${2:-build/x86_64}
program=$build/bin/bmp2ondra.exe
work=$(mktemp -d)
source scripts/wine-env.sh
trap 'wine_env_stop; rm -rf "$work"' EXIT
wine_env_start

convert rose: -resize 320x240! "$work/photo.png"
for ((k = 0; k < 32; k++)); do
  convert "$work/photo.png" -distort SRT $((k * 360 / 32)) "$work/f$(printf %02d $k).gif"
done
convert -delay 4 -loop 0 "$work"/f*.gif "$work/anim32.gif"
photo=$(winepath -w "$work/photo.png")
anim=$(winepath -w "$work/anim32.gif")
out=$(winepath -w "$work/out.h")

echo "photo 320x240:  $(wine "$program" --stats -o "$out" "$photo" 2>&1 | tr -d '\r')"
echo "32 frames:      $(wine "$program" --frames --stats -o "$out" "$anim" 2>&1 | tr -d '\r')"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
: >"$work/all.txt"
: >"$work/first.txt"
for ((i = 0; i < runs; i++)); do
  /usr/bin/time -f "%e" -a -o "$work/all.txt" wine "$program" --frames -o "$out" "$anim"
  /usr/bin/time -f "%e" -a -o "$work/first.txt" wine "$program" -o "$out" "$anim" 2>/dev/null
done
all=$(median <"$work/all.txt")
first=$(median <"$work/first.txt")
echo "--frames, 32 frames: median ${all} s; first frame only: median ${first} s ($runs runs each)"
awk -v a="$all" -v f="$first" 'BEGIN {printf "per frame: %.1f ms overall (%.1f ms for each further frame)\n", 1000 * a / 32, 1000 * (a - f) / 31}'
