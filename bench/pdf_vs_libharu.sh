#!/usr/bin/env bash
# Compares the library's PDF writer with libharu (Debian's libhpdf-dev)
# writing the same document: 500 A4 pages, each with the same PNG and JPEG
# picture, a table, about 60 lines of wrapped Helvetica text and two links,
# compressed. pdf_bench.exe runs under Wine (its time counts Wine's start,
# measured from outside); pdf_libharu is built here natively with gcc. One
# warm-up run each, then `runs` alternating runs: median wall time, file
# size, peak memory (maximum resident set from /usr/bin/time for both; the
# Windows program's own peak working set and commit as it reports them),
# and the ratios ours / libharu. The pictures are made by ImageMagick with
# fixed seeds.
#   bench/pdf_vs_libharu.sh [runs]     (default 3; build/x86_64 first)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
program=build/x86_64/bin/pdf_bench.exe
[ -f "$program" ] || { echo "$program is not built" >&2; exit 1; }
[ -f /usr/include/hpdf.h ] || { echo "libhpdf-dev is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
work=$(mktemp -d)
source scripts/wine-env.sh
trap 'wine_env_stop; rm -rf "$work"' EXIT
wine_env_start

gcc -O2 -Wall -Wextra -o "$work/pdf_libharu" bench/pdf_libharu.c -lhpdf
convert -seed 1 -size 320x240 plasma:fractal -depth 8 "$work/picture.png"
convert -seed 2 -size 320x240 plasma:fractal -quality 85 "$work/picture.jpg"
png=$(winepath -w "$work/picture.png")
jpg=$(winepath -w "$work/picture.jpg")
ours=$(winepath -w "$work")\\ours.pdf

run_ours() { /usr/bin/time -f "%e %M" -a -o "$work/ours.txt" wine "$program" "$png" "$jpg" "$ours" >"$work/ours.out"; }
run_haru() { /usr/bin/time -f "%e %M" -a -o "$work/haru.txt" "$work/pdf_libharu" "$work/picture.png" "$work/picture.jpg" "$work/haru.pdf"; }
run_ours
run_haru
: >"$work/ours.txt"
: >"$work/haru.txt"
for ((i = 0; i < runs; i++)); do
  run_ours
  run_haru
done
for pdf in ours haru; do
  qpdf --check "$work/$pdf.pdf" >/dev/null || { echo "qpdf --check fails on $pdf.pdf" >&2; exit 1; }
done

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ot=$(cut -d' ' -f1 "$work/ours.txt" | median)
om=$(cut -d' ' -f2 "$work/ours.txt" | sort -n | tail -1)
ht=$(cut -d' ' -f1 "$work/haru.txt" | median)
hm=$(cut -d' ' -f2 "$work/haru.txt" | sort -n | tail -1)
os=$(stat -c %s "$work/ours.pdf")
hs=$(stat -c %s "$work/haru.pdf")
inside=$(sed -n 's/^time //p' "$work/ours.out" | tr -d '\r')
ws=$(sed -n 's/^peak_working_set_mb //p' "$work/ours.out" | tr -d '\r')
commit=$(sed -n 's/^peak_commit_mb //p' "$work/ours.out" | tr -d '\r')
echo "pages: ours $(pdfinfo "$work/ours.pdf" | sed -n 's/^Pages: *//p'), libharu $(pdfinfo "$work/haru.pdf" | sed -n 's/^Pages: *//p')"
# Pictures placed on the pages, and how many image objects hold them.
images() { pdfimages -list "$1" | tail -n +3 | awk '{ n++; id[$11] = 1 } END { printf "%d placed, %d stored", n, length(id) }'; }
echo "images: ours $(images "$work/ours.pdf"), libharu $(images "$work/haru.pdf")"
lines() { pdftotext -layout -f 1 -l 1 "$1" - | grep -c -v -E '^[[:space:]]*$|Spalte'; }
echo "text lines on page 1: ours $(lines "$work/ours.pdf"), libharu $(lines "$work/haru.pdf")"
echo "libharu (native)          median ${ht} s   size ${hs} bytes   peak RSS $((hm / 1024)) MB"
echo "ours (Wine, with start)   median ${ot} s   size ${os} bytes   peak RSS $((om / 1024)) MB (Wine included)"
echo "ours inside the process   last run ${inside} s   peak working set ${ws} MB   peak commit ${commit} MB"
awk -v ot="$ot" -v ht="$ht" -v os="$os" -v hs="$hs" -v it="$inside" 'BEGIN {
  printf "ratios ours / libharu: time %.2f (goal <= 1.5), inside the process %.2f, size %.3f (goal <= 1.1)\n", ot / ht, it / ht, os / hs
}'
echo "runs: $runs each, alternating"
