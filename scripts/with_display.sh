#!/usr/bin/env bash
# Runs a command with a display: the user's own when DISPLAY works, otherwise a private Xvfb
# (1920x1200, 24-bit) with Mesa's software rasteriser, stopped afterwards.
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
export LIBGL_ALWAYS_SOFTWARE=1
exec xvfb-run -a -s "-screen 0 1920x1200x24 +extension GLX +render -noreset" "$@"
