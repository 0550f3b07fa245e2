#!/usr/bin/env bash
# Writes the release archives from a finished build (scripts/build.sh):
#   dist/BitmapKonverter-<version>-win32.zip   from build/i686
#   dist/BitmapKonverter-<version>-win64.zip   from build/x86_64
# Each holds the release BitmapKonverter.exe (resources bound), bmp2ondra.exe,
# nekpack.exe, debuglisten.exe and the read-me texts LIESMICH.txt (German) and
# README.txt (English). The version is the programs' own (app/version.h).
#   scripts/package.sh [--out FOLDER] [i686|x86_64 ...]   default: dist/, both
set -euo pipefail
cd "$(dirname "$0")/.."
out=dist
if [ "${1:-}" = --out ]; then
  out=${2:?--out needs a folder}
  shift 2
fi
version=$(sed -n 's/^#define ONDRA_VERSION_TEXT "\(.*\)"$/\1/p' app/version.h)
[ -n "$version" ] || { echo "package: no version in app/version.h" >&2; exit 1; }
archs=("$@"); ((${#archs[@]})) || archs=(i686 x86_64)
mkdir -p "$out"
out=$(cd "$out" && pwd)
for arch in "${archs[@]}"; do
  case $arch in
    i686) suffix=win32; bits="32 Bit" ;;
    x86_64) suffix=win64; bits="64 Bit" ;;
    *) echo "package: unknown architecture $arch" >&2; exit 64 ;;
  esac
  bin=build/$arch/bin
  files=("$bin/release/BitmapKonverter.exe" "$bin/bmp2ondra.exe" "$bin/nekpack.exe" "$bin/debuglisten.exe")
  for f in "${files[@]}"; do
    [ -f "$f" ] || { echo "package: $f is missing (run scripts/build.sh $arch first)" >&2; exit 1; }
  done
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  cp "${files[@]}" "$stage/"
  # Windows line ends and code page, the version and the build filled in.
  for text in LIESMICH.txt README.txt; do
    sed -e "s/@VERSION@/$version/" -e "s/@BITS@/$bits/" -e 's/$/\r/' "docs/release/$text" |
      iconv -f UTF-8 -t WINDOWS-1252 >"$stage/$text"
  done
  archive=$out/BitmapKonverter-$version-$suffix.zip
  # Written beside the target and renamed when complete.
  rm -f "$archive.tmp"
  (cd "$stage" && zip -q -X -D "$archive.tmp" BitmapKonverter.exe bmp2ondra.exe nekpack.exe debuglisten.exe LIESMICH.txt README.txt)
  mv -f "$archive.tmp" "$archive"
  rm -rf "$stage"
  trap - EXIT
  echo "package: $archive"
done
