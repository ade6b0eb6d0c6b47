#!/usr/bin/env bash
# Builds the Windows screensavers (scripts/build-windows.sh) and tests them: both architectures'
# binaries import only system DLLs and carry every resource and export, and the x86_64 build's
# tests run under wine64 on a display (this machine runs no 32-bit code, so the i686 build is
# checked, not run).
# The output of the ctest run is kept in build-win-x86_64/ctest.log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh wine64
scripts/build-windows.sh

echo "== Windows binaries: imports, resources, exports"
resources=()
for id in 116 117 119 120 121 122 123 127; do resources+=(--resource "CustomData:$id"); done
# 2 = bitmap, 5 = dialog, 14 = icon group, 16 = version, 6 = the string block holding string 1.
resources+=(--resource 5:101 --resource 5:105 --resource 2:107 --resource 2:112 --resource 14:111 --resource AUDIO:128 --resource 16:1 --resource 6:1)
exports=()
for name in ErrorGetCode Init Free SetVolume Start Stop GetVolume SampleLoad SamplePlay3D SamplePlay \
  ChannelGetAttributes ChannelSetAttributes ChannelSet3DPosition Apply3D Set3DFactors; do
  exports+=(--export "Audio_$name")
done
exports+=(--export audioInitLoopback --export audioRenderLoopback --export audioSampleFree)
for arch in i686 x86_64; do
  objdump=$arch-w64-mingw32-objdump
  scripts/check-windows-binary.py "$objdump" "build-win-$arch/src/platform/win32/ravelin.scr" "${resources[@]}"
  scripts/check-windows-binary.py "$objdump" "build-win-$arch/src/sound/audio/ravelin_audio.dll" "${exports[@]}"
done

echo "== Windows tests under wine64"
# The shell and dialog tests open windows and GL contexts: Wine draws them on a display (a private
# Xvfb when there is none), and its server and desktop must start on that same display; the Linux
# capture the shell test compares with needs it too.
scripts/with_display.sh bash -euo pipefail -c '
  scripts/wine.sh --start
  trap "scripts/wine.sh --stop" EXIT
  ctest --test-dir build-win-x86_64 -j "$(nproc)" --output-on-failure 2>&1 | tee build-win-x86_64/ctest.log
  echo "== The installer under wine64"
  scripts/test-installer.sh build-win-x86_64/ravelin-setup-x64.exe dist/ravelin-x64.scr
'
