#!/usr/bin/env bash
# Configures and builds the Windows programs.
#   scripts/build.sh            x86_64 and i686
#   scripts/build.sh x86_64     only the one architecture
set -euo pipefail
cd "$(dirname "$0")/.."
archs=("$@"); ((${#archs[@]})) || archs=(x86_64 i686)
for arch in "${archs[@]}"; do
  dir=build/$arch
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$arch.cmake" >/dev/null
  fi
  # A Wine prefix made before wine32 was installed lacks its 32-bit half and
  # then fails even for 64-bit programs: the packer's prefix is made anew.
  if [ -d "$dir/wineprefix-tools" ] && [ ! -d "$dir/wineprefix-tools/drive_c/windows/syswow64" ]; then
    rm -rf "$dir/wineprefix-tools"
  fi
  echo "build: $arch"
  # Progress lines hidden; warnings and errors stay visible.
  cmake --build "$dir" -- -j"$(nproc)" | sed '/^\[[0-9]*\/[0-9]*\] /d'
done
