#!/usr/bin/env bash
# The main job: the command-line host of the Windows build, under Wine, loads
# Quorvane_x64.dll, prints its report (identity, I/O, parameters, programs)
# and renders a short demo -- program "Glissando" over a sawtooth with two
# notes -- into out/glissando-demo.wav. Extra arguments go to the host
# (for example --seconds 8 or --set "ENV Attack=300"); see its --help.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
build="${QUORVANE_WINDOWS_BUILD:-build/windows}"
host="$build/tools/vsthost/vsthost.exe"
dll="$build/effect/plugin/Quorvane_x64.dll"
output="out/glissando-demo.wav"

for file in "$host" "$dll"; do
  if [[ ! -f $file ]]; then
    echo "missing $file: build the windows preset first" >&2
    echo "  (cmake --preset windows && cmake --build --preset windows)" >&2
    exit 1
  fi
done
mkdir -p out

echo "Exports of $dll:"
x86_64-w64-mingw32-objdump -p "$dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] /  /p'
echo

bash scripts/wine-run.sh "$host" "$dll" \
  --program Glissando --signal saw:110 --seconds 4 --block 512 \
  --note 0.25:1.5 --note 2.25:1:67:90 \
  --output "$output" "$@"
echo "Wrote $root/$output"
