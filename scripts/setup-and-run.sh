#!/usr/bin/env bash
# Sets up a fresh Debian machine (packages, PCRE2), builds everything and
# runs the converter: for now the command-line converter on the sample
# picture that ships with the project, printing the generated source text.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh x86_64 i686

source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start

picture="${1:-samples/dot.png}"
echo "bmp2ondra $picture:"
wine build/x86_64/bin/bmp2ondra.exe "$picture"
