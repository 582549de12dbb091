#!/bin/bash
# Makes what the 32-bit fuzz build ("fuzz32" preset: clang -m32 with ASan, UBSan and libFuzzer)
# needs on a 64-bit Debian 12 machine that executes 32-bit programs: the i386 C and C++ runtimes
# and zlib (installed), and the headers and link names of libgcrypt and libgpg-error for i386,
# unpacked into build/i386-deps (their -dev packages cannot be installed beside the 64-bit ones;
# the i386 libraries themselves are). Safe to run again.
#   scripts/fuzz32-deps.sh      exit 0: ready; 1: this machine runs no 32-bit programs
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps=$here/build/i386-deps

bash "$here/scripts/setup.sh" --fuzz
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
packages=(libc6-dev-i386 lib32stdc++-12-dev lib32gcc-12-dev zlib1g-dev:i386 libgcrypt20:i386
          libgpg-error0:i386)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo "fuzz32-deps: this machine does not execute 32-bit x86 programs" >&2
  exit 1
fi
if [ ! -e "$deps/usr/include/gcrypt.h" ]; then
  download=$(mktemp -d)
  (cd "$download" && apt-get download libgcrypt20-dev:i386 libgpg-error-dev:i386 >/dev/null 2>&1)
  mkdir -p "$deps"
  for deb in "$download"/*.deb; do dpkg-deb -x "$deb" "$deps"; done
  rm -rf "$download"
fi
test -e "$deps/usr/include/gcrypt.h" && test -e "$deps/usr/include/i386-linux-gnu/gpg-error.h"
