#!/usr/bin/env bash
# Makes the Wine prefix named by WINEPREFIX (once) and sets its screen DPI,
# Wine's LogPixels, to the given value: for the editor's test at a system
# scale, kept apart from the prefix every other test uses.
#   WINEPREFIX=build/windows/wineprefix-dpi192 scripts/wine-dpi-prefix.sh 192
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dpi="${1:?usage: wine-dpi-prefix.sh <dpi>}"
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEPREFIX
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  # wineboot prints a harmless note about the missing 32-bit rundll32.exe.
  "$here/scripts/wine-run.sh" wineboot --init >/dev/null 2>&1 || true
fi
"$here/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
  /d "$dpi" /f >/dev/null
# The registry reaches the prefix's files only when its server is gone.
wineserver -w
grep -qi "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" "$WINEPREFIX/user.reg"
