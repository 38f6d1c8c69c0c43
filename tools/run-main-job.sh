#!/usr/bin/env bash
# The main job: the command-line host of the Windows build, under Wine, loads
# Quorvane_x64.dll, prints its report (identity, I/O, parameters, programs)
# and renders a short demo -- program "Glissando" over a sawtooth with two
# notes -- into out/glissando-demo.wav, and saves a picture of its editor,
# opened in a real window, as out/editor.png. Extra arguments go to the host
# (for example --seconds 8 or --set "ENV Attack=300"); see its --help.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

# The editor needs an X server; without one, run a private Xvfb for the job.
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

build="${QUORVANE_WINDOWS_BUILD:-build/windows}"
host="$build/tools/vsthost/vsthost.exe"
dll="$build/effect/plugin/Quorvane_x64.dll"
output="out/glissando-demo.wav"
picture="out/editor.png"

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
  --screenshot "$picture" \
  --output "$output" "$@"
# Let Wine's processes leave the X server before it goes away with this job.
WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" timeout 30 wineserver -w 2>/dev/null || true
echo "Wrote $root/$output and $root/$picture"
