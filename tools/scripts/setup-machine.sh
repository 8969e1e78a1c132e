#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing;
# with arguments, those packages instead (the extra tests name what they need).
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  clang libclang-rt-14-dev
  libsndfile1-dev libfreetype-dev fonts-dejavu-core libpng-dev libx11-dev libxtst-dev xvfb xauth
  lv2-dev liblilv-dev lilv-utils sordi jalv xdotool
  lsp-plugins-vst wine64
)
if (($#)); then PACKAGES=("$@"); fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
