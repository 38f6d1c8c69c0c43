#!/usr/bin/env bash
# Measures the sound path and writes docs/benchmarks-effect.md: the .so
# natively and the DLL under Wine, each through the VST2 float callback
# against floor kernels built into the same benchmark program by the same
# compiler, then the editor's cost in the DLL under Wine and in the .so's X11
# window. Each table comes from one run of its program. Builds what it needs
# (both presets must configure); arguments go to both sound path programs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
out=docs/benchmarks-effect.md

for preset in native windows; do
  [[ -f build/$preset/CMakeCache.txt ]] || cmake --preset "$preset" >/dev/null
done
cmake --build build/native --target sound_path_benchmark editor_cost_x11 >/dev/null
cmake --build build/windows --target sound_path_benchmark_windows >/dev/null

# The summary after Google Benchmark's own table.
summary() { sed -n '/^Median of/,$p'; }
native="$(build/native/bench/effect/sound_path_benchmark "$@" 2>/dev/null | summary)"
windows="$(scripts/wine-run.sh build/windows/bench/effect/sound_path_benchmark.exe "$@" 2>/dev/null |
  tr -d '\r' | summary)"
# The editor needs a window, so an X server for Wine.
# Wine may report a broken X connection as the server goes: the figures
# count. A server that fails to start (another job took its display) is
# tried again.
# Wine's session from the benchmark above has no display: let it end first.
WINEPREFIX="$root/build/wineprefix" wineserver -w
editor=""
for attempt in 1 2 3; do
  editor="$( (xvfb-run -a scripts/wine-run.sh build/windows/bench/effect/editor_cost.exe || true) \
    2>/dev/null | tr -d '\r' | sed 's/^/- /')"
  [[ -n $editor ]] && break
done
# The X11 editor needs a true-colour screen of 32-bit pixels.
x11_editor=""
for attempt in 1 2 3; do
  x11_editor="$( (xvfb-run -a -s "-screen 0 1280x1024x24" build/native/bench/effect/editor_cost_x11 ||
    true) 2>/dev/null | sed 's/^/- /')"
  [[ -n $x11_editor ]] && break
done
machine="$(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -n 1), $(nproc) cores"

cat >"$out" <<DOC
# The sound path's cost

Written by \`scripts/bench-sound-path.sh\` on $(date -u +%Y-%m-%d): $machine;
g++ $(g++ -dumpversion) natively, MinGW-w64 g++ for Windows. Every figure in a
table comes from the one run of its program that printed it; the machine is
shared, so figures move by 10-20 % from run to run, ratios less.

\`sound_path_benchmark\` loads the plug-in from its path and drives it as a
host does: 48 kHz, 512-frame blocks (16 where named) of stereo noise through
\`processReplacing\`, a note held. In the moving cases the attack lasts 8 s
and restarts every 5.3 s, so the routed value changes at every sample. Next
to the plug-in it measures its floors, built into the same program:

- **plain stereo section**: a band-pass second-order section per channel,
  float in and out, nothing else;
- **per-sample tan redesign**: the same section redesigned at every sample
  for a frequency sweeping 20 Hz to 12 kHz, with one tangent and one
  division.

"of static" compares a case with the static filter of the same run; the
held and mix cases use the static case's program with a target assigned.
x real time is how many stereo streams at 48 kHz one core could run.
The program keeps a second thread waiting all along, as every host has:
while a process has only one thread, the C library's mutexes skip their
atomic instructions, and the .so's lock would look about 8 ns a block
cheaper than it is in a host. That lock, which every block takes whole, is
most of what a 16-frame block pays beyond its frames: its two atomic
instructions cost about 13 ns a block on this machine on their own, against
about 35 ns for filtering the 16 frames.
The module's first load in the benchmark's process also brings in the
system libraries it links (under Wine, Wine's own graphics and window
libraries), which a host with a window has loaded long before; the load
after an unload is what a host pays, and "load and open together" adds the
instantiation to it.

## Linux, the .so natively

$native

## Windows, the DLL under Wine

$windows

## The editor, in the DLL under Wine

\`editor_cost\` opens the editor in a real window (Xvfb) as a host does and
times one full repaint of the panel (invalidate and paint at once), then
measures the user-interface thread's CPU time while it waits for and
dispatches messages for 8 s: with nothing changing, and with the envelope
strip moving (program 5, audio on its own thread in real time). The time
spent inside the editor's window procedure is measured apart (wall time per
call): the rest is the message loop, Wine's delivery of the timer's
messages. A bare timer of the same rate on a child window, with a handler
that does nothing, shows that part alone. Under Wine every paint, however
small, costs the better part of a millisecond when it follows a pause; that
is what a tick of the moving strip pays.

$editor

## The editor, in the .so on Linux

\`editor_cost_x11\` opens the Linux plug-in's editor in a real X window
(Xvfb) as a host does and reads the CPU time of the editor's own thread,
which serves the window and runs its timer: for 100 exposures of the whole
window (less the idle ticks meanwhile), and for 8 s with nothing changing and
with the envelope strip moving as above. The X server's CPU time over the
same seconds is what drawing the editor's pictures costs it. A bare thread
that only wakes at the same rate shows what the waking alone costs.

$x11_editor
DOC
echo "wrote $out"
