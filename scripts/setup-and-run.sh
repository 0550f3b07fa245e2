#!/usr/bin/env bash
# Sets up a fresh Debian machine (packages, PCRE2), builds everything and
# runs the converter: the command-line converter on the sample picture that
# ships with the project, printing the generated source text, then where the
# window program's two builds are and how to start it.
#   scripts/setup-and-run.sh [PICTURE]   the above, with another picture
#   scripts/setup-and-run.sh --gui       sets up, builds and starts the window
#                                        program on this desktop ($DISPLAY)
set -euo pipefail
cd "$(dirname "$0")/.."

gui=""
[ "${1:-}" = --gui ] && gui=1 && shift
if [ -n "$gui" ] && [ -z "${DISPLAY:-}" ]; then
  echo "setup-and-run: --gui needs a desktop: no DISPLAY is set" >&2
  exit 1
fi

bash scripts/install-deps.sh
bash scripts/build.sh x86_64 i686

window_program=build/x86_64/bin/release/BitmapKonverter.exe
if [ -n "$gui" ]; then
  # On the desktop, in a Wine prefix of its own (the tests' prefix is set up
  # for a display without window manager).
  echo "BitmapKonverter: $window_program"
  WINEPREFIX="$PWD/build/wineprefix-desktop" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    wine "$window_program"
  exit 0
fi

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start

picture="${1:-samples/dot.png}"
echo "bmp2ondra $picture:"
wine build/x86_64/bin/bmp2ondra.exe "$picture"

cat <<EOF

BitmapKonverter, the window program:
  build/x86_64/bin/BitmapKonverter.exe          development build (resource files in
                                                build/x86_64/bin/NEK-Resourcen/, layouter on Scroll Lock)
  $window_program  release build (resources bound into the program)
  build/i686/bin/release/BitmapKonverter.exe    the same as a 32-bit program
Start it on this desktop:  bash scripts/setup-and-run.sh --gui
To hand it out:  bash scripts/package.sh  (dist/BitmapKonverter-<version>-win32.zip, the one to
                 hand out, and -win64.zip for pictures beyond the 32-bit limit)
EOF
