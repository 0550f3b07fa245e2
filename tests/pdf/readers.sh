#!/usr/bin/env bash
# The PDF writer checked with the PDF readers of the system: pdf_samples.exe
# writes every sample document compressed and uncompressed, then qpdf,
# pdfinfo, pdftotext, pdffonts, pdfimages and pdftoppm read them.
#
#   tests/pdf/readers.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/../e2e/lib.sh"

e2e_setup "$@"
export TZ=UTC LC_ALL=C.UTF-8
for tool in qpdf pdfinfo pdftotext pdffonts pdfimages pdftoppm; do
  command -v "$tool" >/dev/null || e2e_fail "$tool is missing (scripts/install-deps.sh installs poppler-utils and qpdf)"
done
[ -f "$E2E_BIN/pdf_samples.exe" ] || e2e_fail "$E2E_BIN/pdf_samples.exe is not built"

ttf=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
t1=/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1
afm=/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.afm
for f in "$ttf" "$t1" "$afm"; do [ -f "$f" ] || e2e_fail "$f is missing (fonts-dejavu-core, fonts-urw-base35)"; done
png=$e2e_root/samples/landscape.png
"$E2E_CONVERT" "$png" "$E2E_TMP/picture.jpg"
"$E2E_CONVERT" "$png" -resize 50x40! -type TrueColor "BMP3:$E2E_TMP/picture.bmp"
out=$E2E_TMP/out
mkdir -p "$out"

win() { e2e_winpath "$1"; }
wine "$E2E_BIN/pdf_samples.exe" "$(win "$out")" "$(win "$ttf")" "$(win "$t1")" "$(win "$afm")" \
  "$(win "$png")" "$(win "$E2E_TMP/picture.jpg")" "$(win "$E2E_TMP/picture.bmp")" </dev/null ||
  e2e_fail "pdf_samples.exe reported errors"

# Every check runs and counts; a failing reader must not end the script early.
set +e
failures=0
check() {  # check DESCRIPTION COMMAND...: counts a failed command
  if ! "${@:2}"; then
    echo "FAIL: $1" >&2
    failures=$((failures + 1))
  fi
}
has_line() { grep -qxF -- "$2" <<<"$1"; }
has() { grep -qF -- "$2" <<<"$1"; }
lacks() { ! grep -qF -- "$2" <<<"$1"; }

for variant in "" -raw; do
  for name in formats text fonts images links shapes; do
    file=$out/$name$variant.pdf
    [ -f "$file" ] || { check "$name$variant.pdf written" false; continue; }
    report=$(qpdf --check "$file" 2>&1) || true
    check "qpdf --check $name$variant: $report" has "$report" "No syntax or stream encoding errors found"
    check "qpdf warns on $name$variant: $report" lacks "$report" "WARNING"
  done
  [ -z "$(find "$out" -name '*.~tmp')" ] || check "temporary files left in $out" false

  # Formats, orientations and the document information.
  info=$(pdfinfo -isodates -f 1 -l 8 "$out/formats$variant.pdf" | tr -s ' ')
  check "formats: 8 pages" has_line "$info" "Pages: 8"
  sizes=$(grep -o 'size: [0-9.]* x [0-9.]*' <<<"$info" | cut -d' ' -f2,4 | paste -sd';')
  check "formats: page sizes $sizes" test "$sizes" = \
    "841.89 1190.55;841.89 595.28;420.94 595.28;792 612;612 1008;283.46 425.2;425.2 283.46;595.28 841.89"
  check "formats: title" has "$info" "Title: Prüfbericht (Größen)"
  check "formats: author" has "$info" "Author: Jörg Weiß"
  check "formats: subject" has "$info" 'Subject: Maße & Gewichte \ 100 €'
  check "formats: keywords" has "$info" "Keywords: PDF, Seitenformate"
  check "formats: creator" has "$info" "Creator: pdf_samples"
  check "formats: creation date" has "$info" "CreationDate: 2024-05-17T10:20:30"
  check "formats: PDF 1.3" has "$info" "PDF version: 1.3"

  # Umlauts, the page-count alias, line breaks where the widths say.
  file=$out/text$variant.pdf
  pages=$(pdfinfo "$file" | awk '/^Pages:/ { print $2 }')
  check "text: automatic page breaks ($pages pages)" test "${pages:-0}" -ge 2
  txt=$(pdftotext -enc UTF-8 "$file" - | sed 's/[[:space:]]*$//')
  check "text: umlauts" has "$txt" 'Grüße aus Köln: ÄÖÜ äöü ß (Klammern) \ Ende'
  check "text: alias replaced" lacks "$txt" "{nb}"
  for ((p = 1; p <= ${pages:-0}; p++)); do
    check "text: footer of page $p" has_line "$(pdftotext -f $p -l $p -enc UTF-8 "$file" - | sed 's/[[:space:]]*$//')" \
      "Seite $p von $pages"
  done
  for line in "aaaa bbbb cccc dddd" "eeee ffff" "gggggggggggggggggggg" "gggghh" \
              "Zwölf Boxkämpfer jagen"; do
    check "text: wrapped line '$line'" has_line "$txt" "$line"
  done
  check "text: last word of the flowing text" has "$txt" "Wort120 ist ein Teil"

  # Standard fonts referenced, the others embedded (TrueType as a subset).
  file=$out/fonts$variant.pdf
  fonts=$(pdffonts "$file" | tail -n +3 | awk '{ print $1, $(NF-4), $(NF-3) }' | sort)
  for font in Helvetica-Bold Times-Italic Courier Helvetica-BoldOblique Symbol ZapfDingbats; do
    check "fonts: $font referenced" has_line "$fonts" "$font no no"
  done
  check "fonts: TrueType embedded as subset" grep -qE '^[A-Z]{6}\+DejaVuSans yes yes$' <<<"$fonts"
  check "fonts: Type1 embedded" grep -qE '^([A-Z]{6}\+)?NimbusSans-Regular yes (yes|no)$' <<<"$fonts"
  check "fonts: TrueType type" has "$(pdffonts "$file")" "TrueType"
  txt=$(pdftotext -enc UTF-8 "$file" -)
  check "fonts: embedded TrueType text" has "$txt" "DejaVu: Äpfel über Straßen"
  check "fonts: embedded Type1 text" has "$txt" "Nimbus: Äpfel über Straßen"

  # Images: placed four times, stored three times.
  list=$(pdfimages -list "$out/images$variant.pdf" | tail -n +3)
  check "images: four placements" test "$(wc -l <<<"$list")" -eq 4
  check "images: three stored" test "$(awk '{ print $11 }' <<<"$list" | sort -u | wc -l)" -eq 3
  check "images: natural size at 96 dpi" test "$(awk 'NR == 1 { print $13, $14 }' <<<"$list")" = "96 96"
  check "images: aspect kept for a given width or height" \
    test "$(awk 'NR == 2 || NR == 3 { print $13, $14 }' <<<"$list")" = "$(printf '142 142\n127 127')"
  check "images: link on a picture" has "$(qpdf --qdf "$out/images$variant.pdf" - | tr -d '\r\000')" \
    "/URI (https://example.org/bild)"
  rows=$(awk '{ print $4, $5, $6, $9 }' <<<"$list")
  check "images: PNG" has_line "$rows" "280 200 rgb image"
  check "images: JPEG" has_line "$rows" "280 200 rgb jpeg"
  check "images: BMP" has_line "$rows" "50 40 rgb image"

  # Links and viewer settings, as qpdf reads them.
  qdf=$(qpdf --qdf --object-streams=disable "$out/links$variant.pdf" - | tr -d '\r')
  check "links: URI on text" has "$qdf" '/URI (https://example.org/?a=\(1\))'
  check "links: URI on a rectangle" has "$qdf" "/URI (https://example.org/rechteck)"
  # setLink(.., 30) on the second page: 30 mm below the top of A4.
  page2=$(qpdf --show-pages "$out/links$variant.pdf" | awk '/^page 2:/ { print $3, $4, $5 }')
  check "links: internal destination on page 2 ($page2)" grep -aqF "/Dest [$page2 /XYZ 0 756.85 null]" \
    "$out/links$variant.pdf"
  check "links: two columns" has "$qdf" "/PageLayout /TwoColumnLeft"
  check "links: full width" has "$qdf" "/FitH"
  check "links: annotation type" has "$qdf" "/Subtype /Link"

  # Shapes where they belong: red rectangle, blue circle, white between.
  pdftoppm -r 72 -f 1 -l 1 -singlefile "$out/shapes$variant.pdf" "$E2E_TMP/shapes$variant"
  px() { e2e_pixels "$E2E_TMP/shapes$variant.ppm" "$1" "$2" 1 1 | cut -d' ' -f3-; }
  check "shapes: red rectangle" test "$(px 113 85)" = "255 0 0"
  check "shapes: blue circle" test "$(px 283 283)" = "0 0 255"
  check "shapes: white outside" test "$(px 113 140)" = "255 255 255"
  check "shapes: underline" test "$(px 65 796 | cut -d' ' -f1)" -lt 128
  check "shapes: nothing above the underline" test "$(px 65 790)" = "255 255 255"
done

# Compression: the compressed files are smaller, the readers' text the same.
check "compression shrinks the text sample" test "$(stat -c %s "$out/text.pdf")" -lt \
  "$(stat -c %s "$out/text-raw.pdf")"
check "compressed and plain text agree" test "$(pdftotext "$out/text.pdf" -)" = "$(pdftotext "$out/text-raw.pdf" -)"

[ "$failures" -eq 0 ] || e2e_fail "$failures reader checks failed"
echo "PDF reader checks passed"
