#!/usr/bin/env bash
# The release archive of a build as a user gets it: scripts/package.sh makes
# it, it is unpacked into an empty folder, and the programs run from there:
# bmp2ondra --version shows the programs' version, bmp2ondra converts a
# picture exactly as the build's own bmp2ondra does, and the window program
# starts with its bound resources and ends by "Ende" with exit code 0,
# leaving nothing beside it.
#   tests/e2e/package.sh [BUILD_DIR]
set -euo pipefail
export LC_ALL=C
source "$(dirname "$0")/lib.sh"
e2e_setup "$@"

arch=$(basename "$E2E_BUILD")
bash "$e2e_root/scripts/package.sh" --out "$E2E_TMP/dist" "$arch" >/dev/null
version=$(sed -n 's/^#define ONDRA_VERSION_TEXT "\(.*\)"$/\1/p' "$e2e_root/app/version.h")
case $arch in i686) suffix=win32 ;; *) suffix=win64 ;; esac
archive=$E2E_TMP/dist/BitmapKonverter-$version-$suffix.zip
[ -f "$archive" ] || e2e_fail "no archive $archive"

folder=$E2E_TMP/unpacked
mkdir "$folder"
(cd "$folder" && unzip -q "$archive")
expected="BitmapKonverter.exe bmp2ondra.exe debuglisten.exe LIESMICH.txt nekpack.exe README.txt"
[ "$(cd "$folder" && ls | sort -f | tr '\n' ' ')" = "$expected " ] ||
  e2e_fail "the archive holds: $(cd "$folder" && ls | tr '\n' ' ')"
grep -q "$version" "$folder/LIESMICH.txt" || e2e_fail "LIESMICH.txt does not name version $version"

[ "$(wine "$folder/bmp2ondra.exe" --version </dev/null | tr -d '\r')" = "bmp2ondra $version" ] ||
  e2e_fail "bmp2ondra --version does not print 'bmp2ondra $version'"
picture=$e2e_root/samples/dot.png
wine "$E2E_BIN/bmp2ondra.exe" "$(e2e_winpath "$picture")" >"$E2E_TMP/expected.txt" </dev/null
(cd "$folder" && wine ./bmp2ondra.exe "$(e2e_winpath "$picture")" >"$E2E_TMP/unpacked.txt" </dev/null) ||
  e2e_fail "the unpacked bmp2ondra failed"
cmp -s "$E2E_TMP/expected.txt" "$E2E_TMP/unpacked.txt" || e2e_fail "the unpacked bmp2ondra writes another text"

title='Ondra Bitmap-Konverter'
e2e_start release "$folder/BitmapKonverter.exe"
e2e_window "^$title\$" 30 >/dev/null
ende=""
for _ in $(seq 50); do
  ende=$(e2e_controls "$title" Button | awk '$5 == "Ende" { print $1, $2, $3, $4 }')
  [ -n "$ende" ] && break
  sleep 0.2
done
e2e_click_rect "$ende"
e2e_finish release
[ "$E2E_EXIT" = 0 ] || e2e_fail "the unpacked BitmapKonverter ended with $E2E_EXIT"
[ "$(cd "$folder" && ls | sort -f | tr '\n' ' ')" = "$expected " ] ||
  e2e_fail "files left beside the programs: $(cd "$folder" && ls | tr '\n' ' ')"
e2e_note "$arch archive $(basename "$archive"): unpacked, version $version, converter ran and ended"
