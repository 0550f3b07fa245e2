#!/usr/bin/env bash
# Configures and builds the Windows programs.
#   scripts/build.sh            x86_64 (the tested build) and i686 (build check)
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
  # Wine without its 32-bit part cannot run the i686 nekpack that binds the
  # release BitmapKonverter.exe: the x86_64 one does the same job.
  packer=$PWD/build/x86_64/bin/nekpack.exe
  if [ "$arch" = i686 ] && [ -f "$packer" ] &&
     ! grep -q '^NEK_PACK_COMMAND:STRING=.' "$dir/CMakeCache.txt"; then
    cmake -S . -B "$dir" "-DNEK_PACK_COMMAND=wine|$packer" >/dev/null
  fi
  echo "build: $arch"
  # Progress lines hidden; warnings and errors stay visible.
  cmake --build "$dir" -- -j"$(nproc)" | sed '/^\[[0-9]*\/[0-9]*\] /d'
done
