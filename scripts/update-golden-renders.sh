#!/usr/bin/env bash
# Records the golden renders anew in both builds (tests/golden/*.sha256).
# Only for a deliberate change of the sound arithmetic that has been shown
# to be right: the golden_renders test exists to catch every other change.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
for preset in native windows; do
  [[ -f build/$preset/CMakeCache.txt ]] || cmake --preset "$preset"
  cmake --build "build/$preset" --target golden_render_references
done
git --no-pager diff --stat -- tests/golden
