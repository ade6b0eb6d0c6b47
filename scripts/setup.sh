#!/usr/bin/env bash
# Installs the Debian packages the build, the screensaver and the tests need, and any packages
# named on the command line (only the missing ones; apt-get update runs once, and only when
# something is missing).
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config make
  libsdl2-dev libgl-dev libglu1-mesa-dev libx11-dev libxrandr-dev
  libjpeg62-turbo-dev libpng-dev libopenal-dev libvorbis-dev libgtk-3-dev
  googletest libgtest-dev
  xvfb xauth libgl1-mesa-dri x11-utils
  unar clang libclang-rt-14-dev
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
