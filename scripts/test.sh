#!/usr/bin/env bash
# Runs the whole test suite on a fresh or prepared machine: installs what is
# missing, builds the x86_64 programs (tested) and the i686 ones (build
# check), starts Xvfb and a wineserver, runs every test program through ctest
# under Wine and stops what it started. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh x86_64 i686

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start

# One test program at a time: they share one screen, and the boxes and
# windows of one would cover the pixels another reads back.
ctest --test-dir build/x86_64 --output-on-failure --timeout 600
