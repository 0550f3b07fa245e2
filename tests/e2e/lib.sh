# Shared pieces of the end-to-end tests, sourced by tests/e2e/*.sh: Windows
# programs started under Wine on an X display and driven as a user drives
# them, with xdotool (clicks, typing) and screenshots read with ImageMagick.
#
#   e2e_setup "$@"          takes a script's arguments [BUILD_DIR] [--screenshot
#                           FILE]: the build's bin folder in E2E_BIN, FILE in
#                           E2E_SCREENSHOT, a scratch folder in E2E_TMP; starts
#                           Xvfb and a wineserver when the caller
#                           (scripts/test.sh through ctest) has none
#   e2e_start NAME EXE...   runs a program in the background; e2e_finish NAME
#                           waits for it, its exit code in E2E_EXIT
#   e2e_window REGEX        waits for a visible top-level window, prints its id
#   e2e_controls TITLE CLASS  where a window's controls of a class are, with
#                           their texts (nek_ctltext)
#   e2e_click X Y           left click at screen coordinates
#   e2e_answer WID KEY      presses KEY in a dialog box (e.g. Return)
#   e2e_shot FILE           screenshot of the whole screen
#   e2e_pixels FILE X Y W H lines "x y r g b" of a region (8 bits per channel)
# Every step that waits gives up after a while, so a test never hangs.

e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Debian's ImageMagick by its full path: an ImageMagick found earlier in PATH
# may be something else.
E2E_CONVERT=/usr/bin/convert
E2E_IMPORT=/usr/bin/import
[ -x "$E2E_CONVERT" ] || E2E_CONVERT=$(command -v convert)
[ -x "$E2E_IMPORT" ] || E2E_IMPORT=$(command -v import)

declare -A e2e_pids=()

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

e2e_note() { echo "e2e: $*"; }

e2e_cleanup() {
  local name
  for name in "${!e2e_pids[@]}"; do
    kill "${e2e_pids[$name]}" 2>/dev/null || true
  done
  e2e_pids=()
  [ -n "${E2E_TMP:-}" ] && rm -rf "$E2E_TMP"
  if [ -n "${e2e_own_env:-}" ]; then
    wine_env_stop
  fi
}

e2e_setup() {
  local build=$e2e_root/build/x86_64
  E2E_SCREENSHOT=""
  while (($#)); do
    case $1 in
      --screenshot) E2E_SCREENSHOT=${2:?--screenshot needs a file}; shift 2 ;;
      *) build=${1:-$build}; shift ;;
    esac
  done
  E2E_BUILD=$(cd "$build" && pwd) || e2e_fail "no build folder $build"
  E2E_BIN=$E2E_BUILD/bin
  E2E_TMP=$(mktemp -d)
  trap e2e_cleanup EXIT
  if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
    # Run on its own: the environment scripts/test.sh gives ctest, with the
    # Wine prefix beside the build folder (build/wineprefix for build/x86_64).
    export WINEPREFIX=${WINEPREFIX:-$(dirname "$E2E_BUILD")/wineprefix}
    local here=$PWD
    cd "$e2e_root" || exit 1
    # shellcheck source=../../scripts/wine-env.sh
    source scripts/wine-env.sh
    cd "$here" || exit 1
    wine_env_start
    e2e_own_env=1
  fi
  export WINEDEBUG=-all
  local tool
  for tool in xdotool "$E2E_CONVERT" "$E2E_IMPORT" winepath; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is missing (scripts/install-deps.sh installs it)"
  done
}

# The Windows form of a Linux path.
e2e_winpath() { winepath -w "$1" 2>/dev/null; }

# A folder of the Wine prefix's user profile, e.g. AppData/Roaming.
e2e_profile() { echo "$WINEPREFIX/drive_c/users/$(id -un)/$1"; }

e2e_start() {
  local name=$1
  shift
  wine "$@" >"$E2E_TMP/$name.out" 2>&1 </dev/null &
  e2e_pids[$name]=$!
}

# Waits up to `seconds` (default 30) for the program to end and leaves its
# exit code in E2E_EXIT; fails when it does not end. (Not in a subshell:
# only this shell can wait for its background jobs.)
e2e_finish() {
  local name=$1 seconds=${2:-30} pid=${e2e_pids[$1]} i
  for ((i = 0; i < seconds * 10; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && e2e_fail "$name did not end within $seconds s"
  E2E_EXIT=0
  wait "$pid" || E2E_EXIT=$?
  unset "e2e_pids[$name]"
}

# Prints the id of the first visible window whose name matches the regular
# expression, waiting up to `seconds` (default 30).
e2e_window() {
  local regex=$1 seconds=${2:-30} i wid
  for ((i = 0; i < seconds * 10; i++)); do
    wid=$(xdotool search --onlyvisible --name "$regex" 2>/dev/null | head -1) || true
    if [ -n "$wid" ]; then
      echo "$wid"
      return 0
    fi
    sleep 0.1
  done
  e2e_fail "no window '$regex' within $seconds s"
}

# Waits until no visible window matches any more.
e2e_window_gone() {
  local regex=$1 seconds=${2:-10} i
  for ((i = 0; i < seconds * 10; i++)); do
    xdotool search --onlyvisible --name "$regex" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  e2e_fail "window '$regex' still there after $seconds s"
}

# "x y width height text" of every visible control of a class in the
# top-level window with exactly this title (screen coordinates).
e2e_controls() {
  wine "$E2E_BIN/nek_ctltext.exe" "$1" "$2" </dev/null 2>/dev/null | tr -d '\r'
}

e2e_click() {
  xdotool mousemove --sync "$1" "$2" click 1
}

# Clicks the middle of a rectangle "x y width height".
e2e_click_rect() {
  local x y w h
  read -r x y w h <<<"$1"
  [ -n "$h" ] || e2e_fail "nothing to click"
  e2e_click $((x + w / 2)) $((y + h / 2))
}

# Keys go through the X server's own input (XTEST) to the focused window:
# a key sent to a window with XSendEvent loses its release when the key
# closes that window, and Wine then repeats the key in the next one.
e2e_answer() {
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key "$2"
}

e2e_type() {
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool type --delay 20 "$2"
}

e2e_shot() { "$E2E_IMPORT" -window root "$1"; }

e2e_pixels() {
  "$E2E_CONVERT" "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4 \5/p'
}
