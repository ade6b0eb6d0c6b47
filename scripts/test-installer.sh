#!/usr/bin/env bash
# Tests a Windows installer built from installer/ravelin.nsi in the project's Wine prefix:
# installing puts the screensaver into the system folder and selects it for the current user;
# uninstalling takes away the file, that selection, the user's settings and its own entry.
#   scripts/test-installer.sh SETUP.EXE EXPECTED.SCR
set -euo pipefail
cd "$(dirname "$0")/.."
setup=$1
expected=$2
prefix=${RAVELIN_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/ravelin/wine64}
installed="$prefix/drive_c/windows/system32/ravelin.scr"
folder="$prefix/drive_c/Program Files/Ravelin"
desktop='HKCU\Control Panel\Desktop'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ravelin'
settings='HKCU\Software\BRIMLOW Studio\Ravelin'

fail() { echo "installer test: $*" >&2; exit 1; }
# The data of one registry value, empty when there is none.
value() { scripts/wine.sh reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
key_exists() { scripts/wine.sh reg query "$1" >/dev/null 2>&1; }

scripts/wine.sh "$setup" /S
[ -f "$installed" ] || fail "no ravelin.scr in the system folder"
cmp -s "$installed" "$expected" || fail "the installed ravelin.scr is not $expected"
selected=$(value "$desktop" SCRNSAVE.EXE)
[ "${selected,,}" = 'c:\windows\system32\ravelin.scr' ] || fail "SCRNSAVE.EXE is '$selected'"
[ "$(value "$desktop" ScreenSaveActive)" = 1 ] || fail "ScreenSaveActive is not 1"
key_exists "$uninstall" || fail "no uninstall entry"
echo "installed: $selected"

# What the settings dialog would have saved.
scripts/wine.sh reg add "$settings" /v Volume /t REG_DWORD /d 50 /f >/dev/null
# The uninstaller copies itself away and returns at once; the copy does the work.
scripts/wine.sh "$folder/uninstall.exe" /S
for _ in $(seq 600); do
  [ -e "$installed" ] || [ -e "$folder" ] || break
  sleep 0.1
done
[ ! -e "$installed" ] || fail "ravelin.scr is still in the system folder"
[ ! -e "$folder" ] || fail "the installation folder is still there"
[ -z "$(value "$desktop" SCRNSAVE.EXE)" ] || fail "SCRNSAVE.EXE still selects it"
! key_exists "$uninstall" || fail "the uninstall entry is still there"
! key_exists "$settings" || fail "the settings are still there"
echo "uninstalled"
