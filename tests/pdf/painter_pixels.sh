#!/usr/bin/env bash
# The PDF painter proved by pixels: nek_pdfscene draws one scene through the
# screen device into a bitmap and through NPdfPainter into a PDF page; the
# page is rendered with pdftoppm at 96 dpi (the painter's 0.75 pt per pixel)
# and both pictures must show the scene's colours at the places the helper
# names: inside and outside of shapes, on edges and line centres, the
# dashes of a dashed line, and where each text stands (its extent, with a
# few pixels for the different glyph shapes of the fonts). Both PDF files
# (compressed and not) must pass qpdf --check without a warning.
#
#   tests/pdf/painter_pixels.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/../e2e/lib.sh"

e2e_setup "$@"
for tool in qpdf pdfinfo pdftoppm; do
  command -v "$tool" >/dev/null || e2e_fail "$tool is missing (scripts/install-deps.sh installs it)"
done
[ -f "$E2E_BIN/nek_pdfscene.exe" ] || e2e_fail "$E2E_BIN/nek_pdfscene.exe is not built"

t=$E2E_TMP
wine "$E2E_BIN/nek_pdfscene.exe" "$(e2e_winpath "$t")\\screen.bmp" "$(e2e_winpath "$t")\\page.pdf" \
  "$(e2e_winpath "$t")\\plain.pdf" </dev/null 2>"$t/err.txt" | tr -d '\r' >"$t/places.txt" ||
  e2e_fail "nek_pdfscene failed: $(cat "$t/err.txt")"

for pdf in page plain; do
  qpdf --check "$t/$pdf.pdf" >"$t/qpdf.txt" 2>&1 || e2e_fail "qpdf --check $pdf.pdf: $(cat "$t/qpdf.txt")"
  ! grep -qi warning "$t/qpdf.txt" || e2e_fail "qpdf --check $pdf.pdf warns: $(cat "$t/qpdf.txt")"
done
size=$(pdfinfo "$t/page.pdf" | sed -n 's/^Page size: *\([0-9.]* x [0-9.]*\) pts.*/\1/p')
[ "$size" = "300 x 240" ] || e2e_fail "page size '$size', expected 300 x 240 pts"

pdftoppm -r 96 -png -singlefile "$t/page.pdf" "$t/page"
for picture in screen.bmp page.png; do
  e2e_pixels "$t/$picture" 0 0 400 320 >"$t/$picture.txt"
  [ "$(wc -l <"$t/$picture.txt")" = 128000 ] || e2e_fail "$picture is not 400 x 320 pixels"
done
e2e_note "scene drawn on both, the page rendered"

# Pixels of a colour: every channel within `near` of it.
awk -v near=70 -v textNear=90 -v edge=4 '
  function alike(p, r, g, b, n,    c) {
    split(p, c, " ")
    return c[1] - r <= n && r - c[1] <= n && c[2] - g <= n && g - c[2] <= n && c[3] - b <= n && b - c[3] <= n
  }
  FILENAME ~ /places/ { place[++places] = $0; next }
  FILENAME ~ /screen/ { screen[$1 " " $2] = $3 " " $4 " " $5; next }
  { page[$1 " " $2] = $3 " " $4 " " $5 }
  function extent(img, x, y, w, h, r, g, b, out,    i, j, n) {
    out["x0"] = 9999; out["y0"] = 9999; out["x1"] = -1; out["y1"] = -1; n = 0
    for (j = y; j < y + h; j++) for (i = x; i < x + w; i++) {
      p = (img == "s") ? screen[i " " j] : page[i " " j]
      if (p != "" && alike(p, r, g, b, textNear)) {
        n++
        if (i < out["x0"]) out["x0"] = i; if (i > out["x1"]) out["x1"] = i
        if (j < out["y0"]) out["y0"] = j; if (j > out["y1"]) out["y1"] = j
      }
    }
    return n
  }
  function dashes(img, x0, x1, y, r, g, b,    i, on, was, n) {
    on = 0; runs = 0; was = 0
    for (i = x0; i <= x1; i++) {
      p = (img == "s") ? screen[i " " y] : page[i " " y]
      n = alike(p, r, g, b, near)
      if (n) on++
      if (n && !was) runs++
      was = n
    }
    return on / (x1 - x0 + 1)
  }
  END {
    for (k = 1; k <= places; k++) {
      split(place[k], f, " ")
      if (f[1] == "point") {
        key = f[2] " " f[3]
        if (!alike(screen[key], f[4], f[5], f[6], near) || !alike(page[key], f[4], f[5], f[6], near)) {
          printf "%s at %s: screen %s, page %s, expected %s %s %s\n", f[7], key, screen[key], page[key], f[4], f[5], f[6]
          bad++
        }
        checked++
      } else if (f[1] == "box") {
        ns = extent("s", f[2], f[3], f[4], f[5], f[6], f[7], f[8], s)
        np = extent("p", f[2], f[3], f[4], f[5], f[6], f[7], f[8], q)
        d = 0
        for (e in s) if (s[e] - q[e] > edge || q[e] - s[e] > edge) d = 1
        if (ns < 20 || np < 20 || d) {
          printf "%s: screen %d pixels in %d,%d-%d,%d; page %d pixels in %d,%d-%d,%d\n", f[9], ns, s["x0"], s["y0"], s["x1"], s["y1"], np, q["x0"], q["y0"], q["x1"], q["y1"]
          bad++
        }
        checked++
      } else if (f[1] == "dash") {
        fs = dashes("s", f[2], f[3], f[4], f[5], f[6], f[7]); rs = runs
        fp = dashes("p", f[2], f[3], f[4], f[5], f[6], f[7]); rp = runs
        if (fs < 0.5 || fs > 0.9 || fp < 0.5 || fp > 0.9 || fs - fp > 0.12 || fp - fs > 0.12 || rs < 5 || rp < 5) {
          printf "%s: screen %.2f covered in %d dashes, page %.2f in %d\n", f[8], fs, rs, fp, rp
          bad++
        }
        checked++
      }
    }
    if (checked < 25) { print "only " checked " places checked"; bad++ }
    exit bad > 0
  }' "$t/places.txt" "$t/screen.bmp.txt" "$t/page.png.txt" >&2 ||
  { [ -n "${PDF_PIXELS_KEEP:-}" ] && cp "$t/screen.bmp" "$t/page.png" "$t/page.pdf" "$PDF_PIXELS_KEEP/"
    e2e_fail "the PDF page differs from the screen"; }
echo "pdf painter pixels: passed"
