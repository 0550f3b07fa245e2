#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine and fetches
# the PCRE2 source tree (checked by its SHA-256). Safe to run again: it only
# does what is still missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          libz-mingw-w64-dev wine wine64 wine32:i386 xvfb xdotool x11-utils
          imagemagick googletest xclip qpdf poppler-utils zip unzip
          fonts-urw-base35 fonts-dejavu-core libhpdf-dev time gcc)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm comes with the machine's Node.js; Debian's package only where it is absent.
command -v npm >/dev/null 2>&1 || missing+=(npm)
if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  # wine32 runs the 32-bit programs; it lives in Debian's i386 architecture.
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  # The update may complain about an index and still give us what we need:
  # the install's exit code is the one that counts.
  $SUDO apt-get update -q >/dev/null 2>&1 || true
  if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}" >/dev/null; then
    echo "install-deps: apt-get could not install: ${missing[*]}" >&2
    exit 1
  fi
fi

pcre_dir=.cache/pcre2-0.1.1
pcre_sha=28a63a2f1df56c0562a8a79d988eddd1929d2b579bc44eb20cb480bf1d415d1a
if [ ! -f "$pcre_dir/package/deps/pcre2/CMakeLists.txt" ]; then
  mkdir -p .cache
  tgz=.cache/pcre2-0.1.1.tgz
  if [ ! -f "$tgz" ] || ! echo "$pcre_sha  $tgz" | sha256sum -c --quiet - 2>/dev/null; then
    rm -f "$tgz"
    (cd .cache && npm pack pcre2@0.1.1 --silent >/dev/null)
  fi
  if ! echo "$pcre_sha  $tgz" | sha256sum -c --quiet -; then
    echo "install-deps: pcre2-0.1.1.tgz has the wrong checksum" >&2
    rm -f "$tgz"
    exit 1
  fi
  rm -rf "$pcre_dir"; mkdir -p "$pcre_dir"
  tar xzf "$tgz" -C "$pcre_dir" package/deps/pcre2
fi
echo "install-deps: packages and PCRE2 ready"
