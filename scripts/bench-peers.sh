#!/usr/bin/env bash
# Times Quorvane against peer filter plug-ins that Debian packages as Linux
# VST2, through the command-line host's --bench mode (float processReplacing,
# noise in, one note held, each plug-in's rounds interleaved with the others',
# median of the rounds), and writes the tables to docs/benchmarks-peers.md.
#
#   scripts/bench-peers.sh            needs the native build; installs the
#                                     peers' Debian packages when run as root
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
packages=(zynaddsubfx-vst dpf-plugins-vst lsp-plugins-vst zam-plugins)
vst=/usr/lib/vst
peers=("$vst/ZynDynamicFilter.so" "$vst/ZynAlienWah.so" "$vst/3BandEQ-vst.so"
       "$vst/lsp-plugins/surge-filter-stereo.so" "$vst/ZamEQ2-vst.so")
host=build/native/tools/vsthost/vsthost
plugin=build/native/effect/plugin/Quorvane.so
out=docs/benchmarks-peers.md
rounds=9 seconds=4

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  [[ $(id -u) -eq 0 ]] || { echo "install first: apt-get install ${missing[*]}" >&2; exit 1; }
  apt-get -o DPkg::Lock::Timeout=900 install -y --no-install-recommends "${missing[@]}"
fi
cmake --build build/native --target vsthost quorvane_plugin >/dev/null

bench() { "$host" --bench --rounds "$rounds" --seconds "$seconds" -q "$@"; }
{
  echo "# Quorvane against peer plug-ins"
  echo
  echo "Written by \`scripts/bench-peers.sh\` on $(date -u +%Y-%m-%d) ($(nproc) cores, $(uname -m))."
  echo "Each table comes from one run of \`vsthost --bench\`: float \`processReplacing\` in"
  echo "blocks of 512 frames at 44.1 kHz, stereo noise in, one note held from the start;"
  echo "$rounds rounds of $seconds s per plug-in, the plug-ins' rounds interleaved so that a"
  echo "busy machine slows them alike; the median round counts. Peers run with their"
  echo "default settings."
  echo
  echo "## Quorvane's default program (a static filter) and the peers"
  echo
  bench "$plugin" "${peers[@]}"
  echo
  echo "## Quorvane with the envelope on the frequency (program Glissando)"
  echo
  bench -p Glissando "$plugin"
} >"$out"
cat "$out"
