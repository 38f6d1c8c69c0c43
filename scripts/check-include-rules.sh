#!/usr/bin/env bash
# check-include-rules.sh [root]: fails if a source includes a header its folder must not know,
# so that the dependencies between folders stay one-way. One rule a line below: the folder it
# applies to, the subfolders it exempts, and the includes it forbids (an extended regex).
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"

status=0
# rule <folder> "<exempt subfolders>" <forbidden include> <why>
rule() {
  local folder=$1 exempt=$2 forbidden=$3 why=$4
  [[ -d $root/$folder ]] || return 0
  local prune=()
  for sub in $exempt; do prune+=(-path "$root/$sub" -prune -o); done
  while IFS= read -r -d '' file; do
    if grep -EHn "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($forbidden)" "$file"; then
      echo "  ^ ${file#"$root"/}: $why" >&2
      status=1
    fi
  done < <(find "$root/$folder" "${prune[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
}

rule framework "framework/vst2 framework/lv2" 'framework/vst2/|([^">]*/)?Vst2Interface\.h' \
  "the framework root knows no VST2"
rule effect "effect/EditorLayout.cpp effect/EditorLayout.h effect/plugin" 'editor(_win32|_x11)?/' \
  "of the effect, only the editor layout and the plug-in module know the editor"

exit $status
