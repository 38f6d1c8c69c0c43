#!/usr/bin/env bash
# Builds the LV2 bundle (preset native) and installs it as ~/.lv2/Quorvane.lv2, where every LV2
# host looks. The copy is made beside the target and renamed over it only when complete.
#
#   scripts/install-lv2.sh
# (For a system-wide install: cmake --install build/native --component lv2.)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[[ -f $root/build/native/CMakeCache.txt ]] || cmake --preset native -S "$root"
cmake --build "$root/build/native" --target quorvane_lv2_bundle

target="$HOME/.lv2/Quorvane.lv2"
staging="$HOME/.lv2/.Quorvane.lv2.new"
mkdir -p "$HOME/.lv2"
rm -rf "$staging"
cp -r "$root/build/native/lv2/Quorvane.lv2" "$staging"
rm -rf "$target"
mv "$staging" "$target"
echo "installed $target"
