#!/usr/bin/env bash
# Sets up, builds and runs the screensaver. With a working display it runs full screen;
# without one it renders into a virtual display in capture mode and saves the frames.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # No switch would open the settings dialog; the run itself is /s.
  if [ $# -eq 0 ]; then set -- /s; fi
  exec build/src/platform/sdl/ravelin "$@"
fi
out=${RAVELIN_FRAMES:-$PWD/frames}
mkdir -p "$out"
echo "No display: rendering into a virtual display in capture mode."
scripts/with_display.sh build/src/platform/sdl/ravelin --capture "$out" --frames 300 --every 30 "$@"
echo "Frames saved in $out"
