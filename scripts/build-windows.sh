#!/usr/bin/env bash
# Builds the Windows screensaver for 32- and 64-bit Windows with mingw-w64:
#   dist/ravelin-x86.scr  (i686, the one to ship)   dist/ravelin-x64.scr  (x86_64)
#   dist/ravelin-setup.exe (the installer: either screensaver, chosen for the system it runs on)
# The static dependencies come from scripts/windows-deps.sh (cached outside the checkout); the
# content is the one the Linux build generates (build/generated). The x86_64 build also builds
# the tests that scripts/test-windows.sh runs under wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh nsis
scripts/windows-deps.sh

# The Linux build generates the content both screensavers embed; its screensaver renders the
# reference mix the Windows tests compare with.
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja
fi
cmake --build build -j "$(nproc)" --target ravelin_assets ravelin

for arch in i686 x86_64; do
  dir=build-win-$arch
  # The i686 build is compiled and linked, never run here: the screensaver (with its audio
  # library) is all it needs. The x86_64 build builds everything, its tests included.
  tests=OFF
  targets=(--target ravelin)
  if [ "$arch" = x86_64 ]; then
    tests=ON
    targets=()
  fi
  echo "== Windows $arch build ($dir)"
  mkdir -p "$dir"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/$arch-w64-mingw32.cmake" \
    -DRAVELIN_WINDOWS_DEPS="$(scripts/windows-deps.sh --print-dir "$arch")" \
    -DRAVELIN_GENERATED_DIR="$PWD/build/generated" -DRAVELIN_HOST_BUILD_DIR="$PWD/build" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/wine.sh" \
    -DRAVELIN_SHELL=OFF -DRAVELIN_TESTS=$tests >"$dir/configure.log" 2>&1 ||
    { cat "$dir/configure.log"; exit 1; }
  cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
done

mkdir -p dist
cp build-win-i686/src/platform/win32/ravelin.scr dist/ravelin-x86.scr
cp build-win-x86_64/src/platform/win32/ravelin.scr dist/ravelin-x64.scr
# The installer to ship is 32-bit (it runs on every Windows); its 64-bit twin is the one the
# tests can run under wine64.
for target in x86-unicode amd64-unicode; do
  out=dist/ravelin-setup.exe
  [ "$target" = amd64-unicode ] && out=build-win-x86_64/ravelin-setup-x64.exe
  makensis -V1 -DTARGET=$target -DX86_SCR="$PWD/dist/ravelin-x86.scr" -DX64_SCR="$PWD/dist/ravelin-x64.scr" \
    -DOUTFILE="$PWD/$out" installer/ravelin.nsi
done
ls -l dist/ravelin-x86.scr dist/ravelin-x64.scr dist/ravelin-setup.exe
