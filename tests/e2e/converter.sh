#!/usr/bin/env bash
# BitmapKonverter.exe end to end, as a user works with it: both builds (the
# development program with its resource folder beside it, the release program
# that carries its resources) are started under Wine and driven with xdotool:
# "Ausgabe" without a picture, "Laden" with a path typed into the open
# dialog, the preview checked on a screenshot, "Ausgabe" again and the
# clipboard compared with what bmp2ondra writes for the same picture, "Ende".
# Then the exit code, the stored window position and the files left behind.
#
#   tests/e2e/converter.sh [BUILD_DIR] [--screenshot FILE]
#
# With --screenshot the run also photographs the window with its picture
# inside Wine's virtual desktop, where it has its frame as on a Windows
# desktop (docs/screenshots/bitmapkonverter.png is made that way).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

e2e_setup "$@"

title='Ondra Bitmap-Konverter'
picture=$e2e_root/samples/landscape.png
picture_width=280
picture_height=200
config=$(e2e_profile AppData/Roaming)/BitmapKonverter.cfg
background="240 240 240"

for program in BitmapKonverter.exe release/BitmapKonverter.exe bmp2ondra.exe \
               nek_ctltext.exe nek_clipdump.exe; do
  [ -f "$E2E_BIN/$program" ] || e2e_fail "$E2E_BIN/$program is not built"
done
wine "$E2E_BIN/bmp2ondra.exe" "$(e2e_winpath "$picture")" >"$E2E_TMP/expected.txt" </dev/null ||
  e2e_fail "bmp2ondra could not convert $picture"
e2e_pixels "$picture" 0 0 "$picture_width" "$picture_height" >"$E2E_TMP/picture.txt"

# --- where things are ---------------------------------------------------------------

# Writes where the window, its client area and its buttons stand (screen
# coordinates) as lines "window x y w h", "client x y w h" and
# "button <caption> x y w h".
survey() {
  local wid=$1 out=$2 X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  echo "window $X $Y $WIDTH $HEIGHT" >"$out"
  # The converter window fills the client area: the largest window inside.
  e2e_controls "$title" NEK_WINDOW |
    awk '$3 * $4 > best { best = $3 * $4; r = $1 " " $2 " " $3 " " $4 } END { print "client", r }' >>"$out"
  e2e_controls "$title" Button | awk '{ print "button", $5, $1, $2, $3, $4 }' >>"$out"
}

# "x y w h" of the window, the client area or a button from a survey.
rect_of() {
  awk -v what="$2" '$1 == what { print $2, $3, $4, $5; exit }
                    $1 == "button" && $2 == what { print $3, $4, $5, $6; exit }' "$1"
}

# --- the checks -------------------------------------------------------------------

# The preview on the screenshot: the picture from the client's top left
# corner in 16-bit precision (five bits per channel, widened again as the
# screen shows them), the dotted frames of 320 x 240 and 240 x 320 on the
# background, the three buttons in their colours with their captions.
check_preview() {
  local shot=$1 info=$2 cx cy cw ch
  read -r cx cy cw ch <<<"$(rect_of "$info" client)"
  e2e_pixels "$shot" "$cx" "$cy" 330 330 >"$E2E_TMP/preview.txt"

  awk -v w="$picture_width" -v h="$picture_height" '
    function widened(v) { v = int(v / 8); return v * 8 + int(v / 4) }
    NR == FNR { src[$1 " " $2] = widened($3) " " widened($4) " " widened($5); next }
    # Column 0, row 0 and column 240 carry the frames.
    $1 < w && $2 < h && $1 != 0 && $2 != 0 && $1 != 240 {
      n++
      if ($3 " " $4 " " $5 != src[$1 " " $2]) {
        if (bad++ < 5) printf "picture pixel %d,%d: %s %s %s, expected %s\n", $1, $2, $3, $4, $5, src[$1 " " $2]
      }
    }
    END { if (n != (w - 2) * (h - 1) || bad) { printf "%d of %d picture pixels differ\n", bad, n; exit 1 } }
  ' "$E2E_TMP/picture.txt" "$E2E_TMP/preview.txt" >&2 || { echo "the picture is not shown as converted" >&2; return 1; }

  # Each frame line: a dotted line (blue and background in turns) where it
  # runs over the background, and nothing blue just inside it.
  awk -v back="$background" '
    function at(x, y) { return pixel[x " " y] }
    function line(name, x0, y0, dx, dy, count,    i, blue, other) {
      for (i = 0; i < count; i++) {
        p = at(x0 + i * dx, y0 + i * dy)
        if (p == "0 0 255") blue++; else if (p == back) other++
      }
      if (blue < count / 3 || other < count / 3 || blue + other != count) {
        printf "%s: %d blue, %d background of %d\n", name, blue, other, count; bad = 1
      }
    }
    function clear(name, x0, y0, dx, dy, count,    i) {
      for (i = 0; i < count; i++)
        if (at(x0 + i * dx, y0 + i * dy) == "0 0 255") { printf "%s is blue\n", name; bad = 1; return }
    }
    { pixel[$1 " " $2] = $3 " " $4 " " $5 }
    END {
      line("landscape frame, right edge (x 320)", 320, 1, 0, 1, 239)
      line("landscape frame, bottom edge (y 240)", 1, 240, 1, 0, 239)
      line("portrait frame, right edge below the picture (x 240)", 240, 201, 0, 1, 119)
      line("portrait frame, bottom edge (y 320)", 1, 320, 1, 0, 239)
      clear("column 319", 319, 1, 0, 1, 239)
      clear("row 239", 241, 239, 1, 0, 78)
      if (at(300, 100) != back) { print "no background at 300,100"; bad = 1 }
      exit bad
    }' "$E2E_TMP/preview.txt" >&2 || { echo "the frames are not where they belong" >&2; return 1; }

  # The buttons: a column at the right edge, 30 pixels apart, "Ende" 40
  # above the bottom; each painted in the converter's button colours.
  local caption x y w h top=$((cy + ch - 100))
  for caption in Ausgabe Laden Ende; do
    read -r x y w h <<<"$(rect_of "$info" "$caption")"
    [ -n "$h" ] || e2e_fail "no button '$caption'"
    [ "$x" = $((cx + cw - 100)) ] && [ "$y" = "$top" ] ||
      e2e_fail "button '$caption' at $x,$y, expected $((cx + cw - 100)),$top"
    top=$((top + 30))
    e2e_pixels "$shot" "$x" "$y" "$w" "$h" | awk -v name="$caption" '
      { c = $3 " " $4 " " $5 }
      c == "240 240 255" { fill++ }
      c == "160 160 255" { frame++ }
      c == "48 48 192" { ink++ }
      END {
        if (fill < NR / 2 || frame < 40 || ink < 15) {
          printf "button %s: %d fill, %d frame, %d caption pixels of %d\n", name, fill, frame, ink, NR
          exit 1
        }
      }' >&2 || { echo "button '$caption' is not painted" >&2; return 1; }
  done
}

# Runs a command until it succeeds, every 0.2 s for up to `seconds`; false
# when it never did. The screen, the clipboard and another program's windows
# are read this way: painting and copying take their time on a busy machine.
poll() {
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 5; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

# Screenshots until the preview passes check_preview (the conversion and the
# painting of picture and buttons take a moment); the last one stays in $1.
shot_and_check() {
  e2e_shot "$1" && check_preview "$1" "$2" 2>"$E2E_TMP/check.txt"
}
wait_for_preview() {
  poll 20 shot_and_check "$1" "$2" || { cat "$E2E_TMP/check.txt" >&2; e2e_fail "the preview is not as expected"; }
}

# The clipboard's text as a second Windows process reads it; fails when
# there is none.
dump_clipboard() {
  wine "$E2E_BIN/nek_clipdump.exe" text >"$1" 2>/dev/null </dev/null
}

# "Laden", the picture's path typed into the open dialog; then the preview
# on a screenshot (left in $2) checked.
load_picture() {
  local info=$1 shot=$2 dialog cx cy
  e2e_click_rect "$(rect_of "$info" Laden)"
  dialog=$(e2e_window '^Datei .{1,2}ffnen$' 15)
  e2e_type "$dialog" "$(e2e_winpath "$picture")"
  e2e_answer "$dialog" Return
  e2e_window_gone '^Datei .{1,2}ffnen$'
  # The pointer away from the buttons, so none of them shows its hover colour.
  read -r cx cy _ <<<"$(rect_of "$info" client)"
  xdotool mousemove --sync $((cx + 150)) $((cy + 150))
  wait_for_preview "$shot" "$info"
}

# Stores the main window's position "x,y,width,height" for the next start.
store_position() {
  mkdir -p "$(dirname "$config")"
  printf '[MainWnd]\r\nwinpos=%s\r\nwinpostype=std\r\n' "$1" >"$config"
}

temp_folders() {
  find "$WINEPREFIX/drive_c" -maxdepth 7 -type d -name '_tmpNekRes*' 2>/dev/null | sort
}

config_value() {
  tr -d '\r' <"$config" | awk -F= -v key="$1" '/^\[/ { inside = $0 == "[MainWnd]" } inside && $1 == key { print $2 }'
}

# --- one program, start to end -------------------------------------------------------

run_program() {
  local kind=$1 exe=$2 position=$3
  e2e_note "$kind: $exe"
  local before
  before=$(temp_folders)
  # A stored position is where the window appears; without one it is centred.
  rm -f "$config"
  [ -z "$position" ] || store_position "$position"

  e2e_start "$kind" "$exe"
  local wid info=$E2E_TMP/$kind.info
  wid=$(e2e_window "^$title\$")
  surveyed() { survey "$wid" "$info" && [ "$(grep -c '^button' "$info")" = 3 ] && grep -q '^client [0-9]' "$info"; }
  poll 10 surveyed || e2e_fail "$kind: the window's controls did not appear"
  local window
  window=$(rect_of "$info" window | tr ' ' ,)
  [ -z "$position" ] || [ "$window" = "$position" ] ||
    e2e_fail "$kind: window at $window, the stored position is $position"

  # Resources: the release program unpacked its own into a fresh temporary
  # folder and made no resource folder; the development program uses the
  # one beside it.
  local during
  during=$(comm -13 <(echo "$before") <(temp_folders))
  if [ "$kind" = release ]; then
    [ "$(echo "$during" | grep -c .)" = 1 ] || e2e_fail "release: no folder with the unpacked resources"
    local file
    for file in controlpos.ini resource.ini app_big.ico app_smal.ico nek.bmp; do
      [ -f "$during/$file" ] || e2e_fail "release: $file was not unpacked"
    done
    [ ! -e "$(dirname "$exe")/NEK-Resourcen" ] || e2e_fail "release: a resource folder appeared beside the program"
  else
    [ -z "$during" ] || e2e_fail "development: resources were unpacked ($during)"
  fi

  # The layouter: Scroll Lock covers the controls with positioning windows
  # in the development program only.
  overlays() { [ "$(e2e_controls "$title" NEK_POSITION_WINDOW | grep -c . || true)" = "$1" ]; }
  e2e_answer "$wid" Scroll_Lock
  if [ "$kind" = release ]; then
    # Nothing to wait for: the key has been handled once a message box of
    # the same program has come and gone ("Ausgabe" below), so look again then.
    :
  else
    # The three buttons and the information text; the logo stays out.
    poll 10 overlays 4 || e2e_fail "development: Scroll Lock did not give 4 overlays"
    e2e_answer "$wid" Scroll_Lock
    poll 10 overlays 0 || e2e_fail "development: Scroll Lock did not end the layouter"
  fi

  # "Ausgabe" before any picture: the error box; the clipboard stays as it was.
  dump_clipboard "$E2E_TMP/clipboard-before.bin" || true
  e2e_click_rect "$(rect_of "$info" Ausgabe)"
  e2e_answer "$(e2e_window '^Ausgabe$' 10)" Return
  e2e_window_gone '^Ausgabe$'
  dump_clipboard "$E2E_TMP/clipboard-after.bin" || true
  cmp -s "$E2E_TMP/clipboard-before.bin" "$E2E_TMP/clipboard-after.bin" ||
    e2e_fail "$kind: \"Ausgabe\" without a picture changed the clipboard"
  [ "$kind" != release ] || overlays 0 || e2e_fail "release: the layouter started"

  load_picture "$info" "$E2E_TMP/$kind.png"

  # "Ausgabe": the information box; the clipboard then holds exactly the
  # text bmp2ondra writes for the picture, CR LF line ends and all.
  e2e_click_rect "$(rect_of "$info" Ausgabe)"
  e2e_answer "$(e2e_window '^Ausgabe$' 10)" Return
  e2e_window_gone '^Ausgabe$'
  # The dump ends with the text's terminating zero byte.
  copied() { dump_clipboard "$E2E_TMP/clipboard.bin" && head -c -1 "$E2E_TMP/clipboard.bin" | cmp -s - "$E2E_TMP/expected.txt"; }
  poll 10 copied || e2e_fail "$kind: the clipboard differs from bmp2ondra's text"

  # "Ende": exit code 0, the position stored, nothing left behind.
  e2e_click_rect "$(rect_of "$info" Ende)"
  e2e_finish "$kind"
  [ "$E2E_EXIT" = 0 ] || e2e_fail "$kind: exit code $E2E_EXIT"
  [ "$(config_value winpos)" = "$window" ] ||
    e2e_fail "$kind: stored winpos '$(config_value winpos)', the window stood at $window"
  [ "$(config_value winpostype)" = std ] || e2e_fail "$kind: winpostype '$(config_value winpostype)'"
  [ "$(temp_folders)" = "$before" ] || e2e_fail "$kind: unpacked resources left behind"
}

# --- the screenshot for the README ---------------------------------------------------

# Inside Wine's virtual desktop the window gets its frame drawn as on a
# Windows desktop. The picture is checked there as in the runs before.
take_screenshot() {
  local exe=$1 out=$2 ox oy ww wh wx=30 wy=30
  read -r ox oy ww wh <<<"$(rect_of "$E2E_TMP/development.info" window)"
  store_position "$wx,$wy,$ww,$wh"
  # The development run's survey, moved to where the window stands now.
  local info=$E2E_TMP/desktop.info
  awk -v dx=$((wx - ox)) -v dy=$((wy - oy)) '
    $1 == "button" { $3 += dx; $4 += dy; print; next }
    { $2 += dx; $3 += dy; print }' "$E2E_TMP/development.info" >"$info"
  local width=$((ww + 2 * wx)) height=$((wh + 2 * wy))
  e2e_start desktop explorer "/desktop=nekshot,${width}x${height}" "$exe"
  e2e_window '^nekshot - Wine desktop$' >/dev/null
  e2e_window "^$title\$" >/dev/null
  sleep 1
  load_picture "$info" "$E2E_TMP/desktop.png"
  mkdir -p "$(dirname "$out")"
  "$E2E_CONVERT" "$E2E_TMP/desktop.png" -crop "${width}x${height}+0+0" +repage -strip "$out"
  e2e_click_rect "$(rect_of "$info" Ende)"
  e2e_finish desktop 30
  e2e_note "screenshot in $out"
}

# The development program's resource folder is the build's own: keep what
# the layouter writes there out of later runs.
resources=$E2E_BIN/NEK-Resourcen
cp -p "$resources/controlpos.ini" "$E2E_TMP/controlpos.ini"
restore_resources() { cp -p "$E2E_TMP/controlpos.ini" "$resources/controlpos.ini"; }
trap 'restore_resources; e2e_cleanup' EXIT

run_program development "$E2E_BIN/BitmapKonverter.exe" ""
run_program release "$E2E_BIN/release/BitmapKonverter.exe" "60,40,880,500"
if [ -n "$E2E_SCREENSHOT" ]; then
  take_screenshot "$E2E_BIN/release/BitmapKonverter.exe" "$E2E_SCREENSHOT"
fi
e2e_note "passed"
