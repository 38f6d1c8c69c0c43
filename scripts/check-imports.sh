#!/usr/bin/env bash
# check-imports.sh <file.exe|file.dll>...: fails unless every DLL the files
# import is a Windows system DLL, i.e. one that a bare Wine prefix provides.
# A MinGW runtime or third-party library DLL among the imports means the static
# linking broke and the file would not load on a user's machine.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="${WINEPREFIX:-$here/build/wineprefix}"
system32="$prefix/drive_c/windows/system32"
objdump="${OBJDUMP:-x86_64-w64-mingw32-objdump}"

[[ $# -gt 0 ]] || { echo "usage: $0 <file.exe|file.dll>..." >&2; exit 2; }
[[ -d $system32 ]] || { echo "no Wine prefix at $prefix: run scripts/setup.sh" >&2; exit 2; }

status=0
for file in "$@"; do
  mapfile -t dlls < <("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p')
  if [[ ${#dlls[@]} -eq 0 ]]; then
    echo "$file: no import table found" >&2
    status=1
    continue
  fi
  foreign=0
  for dll in "${dlls[@]}"; do
    if [[ -z $(find "$system32" -maxdepth 1 -iname "$dll" -print -quit) ]]; then
      echo "$file: imports $dll, which is not a Windows system DLL" >&2
      foreign=1
    fi
  done
  if [[ $foreign -eq 0 ]]; then
    echo "$(basename "$file"): imports only system DLLs: ${dlls[*]}"
  else
    status=1
  fi
done
exit $status
