#!/usr/bin/env bash
# The project's main command on a fresh Debian 12 machine (as root): sets
# the machine up, builds the native and the Windows configuration, then runs
# the main job -- the command-line host printing the effect's parameters and
# programs -- through tools/run-main-job.sh. Arguments go to that script.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

if [[ $(id -u) -eq 0 ]]; then
  bash scripts/setup.sh </dev/null
else
  echo "not root: skipping scripts/setup.sh, assuming the machine is set up"
fi

for preset in native windows; do
  printf '\n=== %s: configure and build\n' "$preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done

if [[ -f tools/run-main-job.sh ]]; then
  printf '\n=== main job\n'
  exec bash tools/run-main-job.sh "$@"
fi
echo "tools/run-main-job.sh is missing: nothing to run" >&2
exit 1
