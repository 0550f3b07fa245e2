#!/usr/bin/env bash
# nekdemo.exe end to end, as a user works with it: started under Wine and
# driven with xdotool. The menu bar's "Datei" menu opens on a click and
# "Neu" is chosen with the keys; the status bar reports it. A click on the
# status bar's third part is reported too. Scroll Lock switches the run-time
# layouter on and off. "Datei" / "Als PDF speichern..." writes the path
# typed into the save dialog: a PDF of two pages that qpdf, pdfinfo and
# pdftotext accept, with the page-count footer and umlauts. "Datei" /
# "Beenden" ends the program with exit code 0, and its position is in
# nekdemo.cfg. `nekdemo --pdf FILE` writes the same document without a
# window; to a path that cannot be written it fails and leaves nothing.
#
#   tests/e2e/nekdemo.sh [BUILD_DIR] [--screenshot FILE]
#
# With --screenshot the run also photographs the window, frame included,
# with its "Ansicht" menu open (docs/nekdemo.png is made that way).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

e2e_setup "$@"
shot=$E2E_SCREENSHOT

title='NEK Demo'
config=$(e2e_profile AppData/Roaming)/nekdemo.cfg
for program in nekdemo.exe nek_ctltext.exe; do
  [ -f "$E2E_BIN/$program" ] || e2e_fail "$E2E_BIN/$program is not built"
done

controls() { e2e_controls "$title" "$1"; }

# The demo's document: sound for qpdf, two pages, a link and the embedded
# font on page 2, the footer with the page count filled in, umlauts and ß
# as pdftotext reads them.
check_pdf() {
  local pdf=$1 text
  [ -f "$pdf" ] || e2e_fail "no PDF written at $pdf"
  qpdf --check "$pdf" >"$E2E_TMP/qpdf.txt" 2>&1 || e2e_fail "qpdf --check $pdf: $(cat "$E2E_TMP/qpdf.txt")"
  ! grep -qi warning "$E2E_TMP/qpdf.txt" || e2e_fail "qpdf --check warns: $(cat "$E2E_TMP/qpdf.txt")"
  [ "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')" = 2 ] || e2e_fail "$pdf has not 2 pages"
  pdfinfo -url "$pdf" | grep -qE '^ *2 +Annotation +https://' || e2e_fail "$pdf has no link on page 2"
  pdffonts "$pdf" | grep -qE 'DejaVuSans +TrueType .* yes +yes' || e2e_fail "$pdf embeds no DejaVu Sans subset"
  text=$(pdftotext -enc UTF-8 "$pdf" -)
  local want
  for want in "Seite 1 von 2" "Seite 2 von 2" "Grüße" "Straße" "Äpfel" "Übermut"; do
    grep -qF "$want" <<<"$text" || e2e_fail "$pdf lacks the text '$want'"
  done
}

# The status bar's first part, which reports what the user did.
status_text() { controls msctls_statusbar32 | head -1 | cut -d' ' -f5-; }

# Waits up to 10 s for the status bar to say `text`.
expect_status() {
  local i now=""
  for ((i = 0; i < 100; i++)); do
    now=$(status_text)
    [ "$now" = "$1" ] && return 0
    sleep 0.1
  done
  e2e_fail "the status bar says '$now', expected '$1'"
}

# Clicks the menu bar button whose left edge is `offset` pixels into the bar.
# The menu bar is the upper of the two toolbars in the coolbar.
click_menu() {
  local x y w h
  read -r x y w h _ <<<"$(controls ToolbarWindow32 | sort -n -k2 | head -1)"
  [ -n "$h" ] || e2e_fail "no menu bar"
  e2e_click $((x + $1 + 12)) $((y + h / 2))
  local i
  for ((i = 0; i < 100; i++)); do
    wine "$E2E_BIN/nek_ctltext.exe" --menu </dev/null >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  e2e_fail "no menu opened"
}

rm -f "$config"
e2e_start nekdemo "$E2E_BIN/nekdemo.exe"
wid=$(e2e_window "^$title\$")
expect_status "Bereit"
e2e_note "started, the status bar says 'Bereit'"

if [ -n "$shot" ]; then
  # The Ansicht menu open over the window; the screen cut to the window.
  click_menu 60
  e2e_shot "$E2E_TMP/screen.png"
  xdotool key Escape
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  mkdir -p "$(dirname "$shot")"
  "$E2E_CONVERT" "$E2E_TMP/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
  e2e_note "screenshot in $shot"
fi

# Datei / Neu.
click_menu 10
xdotool key Down Return
expect_status "Neue Zeichnung"
e2e_note "Datei / Neu reported"

# The third part of the status bar.
read -r sx sy sw sh _ <<<"$(controls msctls_statusbar32 | head -1)"
e2e_click $((sx + 500)) $((sy + sh / 2))
expect_status "Statusleiste: Teil 3 angeklickt"
e2e_note "status bar click reported"

# The run-time layouter: Scroll Lock covers the two positioned controls with
# overlays; Scroll Lock again writes their places to controlpos.ini (which
# is put back as it was afterwards).
layout=$E2E_BIN/NEK-Resourcen/controlpos.ini
cp "$layout" "$E2E_TMP/controlpos.ini"
restore_layout() { cp "$E2E_TMP/controlpos.ini" "$layout"; }
xdotool key Scroll_Lock
sleep 0.5
overlays=$(controls NEK_POSITION_WINDOW | grep -c . || true)
[ "$overlays" = 2 ] || { restore_layout; e2e_fail "Scroll Lock: $overlays overlays, expected 2"; }
xdotool key Scroll_Lock
sleep 0.5
overlays=$(controls NEK_POSITION_WINDOW | grep -c . || true)
written=$(tr -d '\r' <"$layout" | sed -n '/^\[DemoWindow\]/,/^\[/p' | grep -c '^N' || true)
restore_layout
[ "$overlays" = 0 ] || e2e_fail "Scroll Lock again: $overlays overlays left"
[ "$written" = 2 ] || e2e_fail "controlpos.ini got $written entries for DemoWindow, expected 2"
e2e_note "layouter on and off, the layout written"

# Datei / Als PDF speichern..., the second item; the save dialog gets the
# path typed in.
pdf=$E2E_TMP/demo.pdf
click_menu 10
xdotool key Down Down Return
dialog=$(e2e_window '^Als PDF speichern$' 15)
e2e_type "$dialog" "$(e2e_winpath "$pdf")"
e2e_answer "$dialog" Return
e2e_window_gone '^Als PDF speichern$'
expect_status "PDF gespeichert: demo.pdf"
check_pdf "$pdf"
e2e_note "Datei / Als PDF speichern wrote a sound PDF"

# Datei / Beenden, the last item.
click_menu 10
xdotool key Up Return
e2e_finish nekdemo
[ "$E2E_EXIT" = 0 ] || e2e_fail "nekdemo ended with exit code $E2E_EXIT"
grep -q '^winpos=' "$config" || e2e_fail "no window position in $config"

# --pdf: the same document without a window; a folder that is a file
# cannot take it: a non-zero exit, a message, and nothing left behind.
rm -f "$pdf"
wine "$E2E_BIN/nekdemo.exe" --pdf "$(e2e_winpath "$pdf")" </dev/null >/dev/null 2>&1 ||
  e2e_fail "nekdemo --pdf ended with exit code $?"
check_pdf "$pdf"
touch "$E2E_TMP/blocker"
code=0
wine "$E2E_BIN/nekdemo.exe" --pdf "$(e2e_winpath "$E2E_TMP/blocker")\\x.pdf" </dev/null \
  >/dev/null 2>"$E2E_TMP/err.txt" || code=$?
[ "$code" != 0 ] || e2e_fail "nekdemo --pdf to an unwritable path ended with exit code 0"
grep -q "konnte nicht geschrieben werden" "$E2E_TMP/err.txt" ||
  e2e_fail "no message for the unwritable path: $(cat "$E2E_TMP/err.txt")"
[ -z "$(find "$E2E_TMP" -name 'x.pdf*')" ] || e2e_fail "nekdemo --pdf left a file behind"
e2e_note "nekdemo --pdf wrote the document, refused an unwritable path"
echo "e2e nekdemo: passed"
