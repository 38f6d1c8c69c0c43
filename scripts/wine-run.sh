#!/usr/bin/env bash
# Runs a Windows executable under Wine, quietly, with a prefix inside the
# build tree. Debian 12's `wine` is a wrapper that looks for a 32-bit loader
# first and nags about it; with only 64-bit Wine installed, call the 64-bit
# loader directly.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No prompts for the .NET and HTML runtimes, which nothing here needs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
loader=/usr/lib/wine/wine64
if [[ -x $loader ]]; then
  export WINELOADER="${WINELOADER:-$loader}"
  exec "$loader" "$@"
fi
exec wine "$@"
