#!/usr/bin/env bash
# Runs Windows programs under wine64 in the project's own Wine prefix (created on first use and
# reused: ${XDG_CACHE_HOME:-~/.cache}/ravelin/wine64, or RAVELIN_WINEPREFIX).
#   scripts/wine.sh PROGRAM.exe [ARGS...]  run one program (the Windows build's test emulator)
#   scripts/wine.sh --start                create the prefix if needed, start a wineserver that
#                                          stays up between programs, and warm it up
#   scripts/wine.sh --stop                 stop that wineserver
# Only the 64-bit loader is used: this machine runs no 32-bit code (Debian's `wine` wrapper would
# pick the 32-bit loader when one is installed).
set -euo pipefail
export WINEPREFIX=${RAVELIN_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/ravelin/wine64}
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing here uses .NET or HTML.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

case "${1:-}" in
  --start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$(dirname "$WINEPREFIX")"
      echo "Creating the Wine prefix $WINEPREFIX"
      "$WINELOADER" wineboot --init >/dev/null 2>&1
      "$WINESERVER" -w
    fi
    # Fails when one is already running for this prefix, which is as good.
    "$WINESERVER" -p 2>/dev/null || true
    # A first program pays for the server's start; tests started while it was still starting
    # have hung before.
    "$WINELOADER" cmd.exe /c exit 0 >/dev/null 2>&1
    ;;
  --stop)
    "$WINESERVER" -k 2>/dev/null || true
    ;;
  *)
    exec "$WINELOADER" "$@"
    ;;
esac
