#!/usr/bin/env bash
# Runs the whole test suite on a fresh or prepared machine: installs what is
# missing, builds the x86_64 and i686 programs, starts Xvfb and a wineserver,
# runs every test program of both builds through ctest under Wine and stops
# what it started. Exits non-zero when a test of either build fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh x86_64 i686

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start

# One test program at a time: they share one screen, and the boxes and
# windows of one would cover the pixels another reads back.
failed=()
for arch in x86_64 i686; do
  echo "test: $arch"
  start=$SECONDS
  if ! ctest --test-dir "build/$arch" --output-on-failure --timeout 600; then
    failed+=("$arch")
  fi
  echo "test: $arch took $((SECONDS - start)) s"
done
if ((${#failed[@]})); then
  echo "test: FAILED in the build(s): ${failed[*]}" >&2
  exit 1
fi
echo "test: both builds passed"
