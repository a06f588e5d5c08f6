#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; quick when all are present.
set -euo pipefail
packages=(
  cmake ninja-build make g++ pkg-config
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix libz-mingw-w64-dev
  zlib1g-dev libmd-dev googletest libgtest-dev
  wine wine64 xvfb xauth xdotool fonts-wqy-zenhei locales
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
