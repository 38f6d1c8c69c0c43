#!/usr/bin/env bash
# The project's test command: configures, builds and tests every preset --
# native, native-asan (AddressSanitizer and UndefinedBehaviorSanitizer),
# native-tsan (ThreadSanitizer, the concurrency tests only),
# windows (MinGW-w64, run under Wine inside one Xvfb) and fuzz (each libFuzzer
# target for a bounded time, scripts/run-fuzzers.sh) and release (the
# archives built twice, unpacked and tried, scripts/check-release.sh) --
# keeps going past failures so one run shows them all, and exits non-zero if
# anything failed.
# Runs scripts/setup.sh first when run as root (a no-op once all is there).
#
#   scripts/test-all.sh [preset...]     default: native native-asan native-tsan windows fuzz release
#
# The output ends with CTest's own summary lines, failing presets last.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root" || exit 1
presets=("$@")
[[ ${#presets[@]} -gt 0 ]] || presets=(native native-asan native-tsan windows fuzz release)
logs="$root/build/test-logs"

say() { printf '\n=== %s\n' "$*"; }
seconds_since() { echo $(($(date +%s) - $1)); }

if [[ ${QUORVANE_SETUP_DONE:-0} != 1 ]]; then
  if [[ $(id -u) -eq 0 ]]; then
    say "set-up"
    bash "$root/scripts/setup.sh" </dev/null || { echo "set-up failed" >&2; exit 1; }
  else
    echo "not root: skipping scripts/setup.sh, assuming the machine is set up"
  fi
fi
mkdir -p "$logs"

# One X server for the whole run: the editor tests of both builds open real
# windows.
xvfb_pid=""
start_xvfb() {
  local fifo="$logs/xvfb.display" display=""
  rm -f "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$fifo" >"$logs/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    display="$(tr -dc '0-9' <"$fifo" 2>/dev/null)"
    [[ -n $display ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ -z $display ]]; then
    echo "Xvfb did not start; see $logs/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$display"
  echo "Xvfb running on $DISPLAY (pid $xvfb_pid)"
}
stop_xvfb() {
  if [[ -n $xvfb_pid ]]; then
    # Let Wine's desktop process leave the display first, or it complains
    # about the broken X connection; bounded, as others may share the prefix.
    WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" timeout 30 wineserver -w 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  fi
}
trap stop_xvfb EXIT
trap 'exit 130' INT TERM

declare -A result counts duration
declare -A step_scripts=([fuzz]=run-fuzzers.sh [release]=check-release.sh)
overall=0
for preset in "${presets[@]}"; do
  started=$(date +%s)
  status=ok
  if [[ -n ${step_scripts[$preset]:-} ]]; then
    # The fuzzers and the release check run their own configure and build; no CTest here.
    bash "$root/scripts/${step_scripts[$preset]}" 2>&1 | tee "$logs/$preset.log"
    [[ ${PIPESTATUS[0]} -eq 0 ]] || { status="$preset FAILED"; overall=1; }
    case $preset in
      fuzz) counts[$preset]="$(grep -cE '^ *[a-z0-9_]+ +ok ' "$logs/fuzz.log") targets without findings" ;;
      release) counts[$preset]="$(grep -c '^\[check-release\]' "$logs/release.log") checks reported" ;;
    esac
    result[$preset]="$status"
    duration[$preset]="$(seconds_since "$started")"
    continue
  fi
  say "$preset: configure"
  if ! cmake --preset "$preset"; then
    status="configure FAILED"
  else
    say "$preset: build"
    # -k 0: build everything that can be built, so all failures show at once.
    cmake --build --preset "$preset" -- -k 0 || status="build FAILED"
  fi
  if [[ $status != "configure FAILED" ]]; then
    if [[ $preset != fuzz && -z $xvfb_pid ]]; then
      start_xvfb || status="Xvfb FAILED"
    fi
    say "$preset: test"
    ctest --preset "$preset" 2>&1 | tee "$logs/$preset.log"
    test_rc=${PIPESTATUS[0]}
    if [[ $test_rc -ne 0 ]]; then
      [[ $status == ok ]] && status="tests FAILED" || status="$status, tests FAILED"
    fi
    counts[$preset]="$(grep -E '^[0-9]+% tests passed' "$logs/$preset.log" | tail -n 1)"
  else
    : >"$logs/$preset.log"
  fi
  result[$preset]="$status"
  duration[$preset]="$(seconds_since "$started")"
  [[ $status == ok ]] || overall=1
done
stop_xvfb

say "summary"
for preset in "${presets[@]}"; do
  printf '  %-12s %-28s %5ss  %s\n' "$preset" "${result[$preset]}" "${duration[$preset]}" \
    "${counts[$preset]:-no tests ran}"
done
if [[ $overall -eq 0 ]]; then
  echo "ALL PRESETS PASSED"
else
  echo "SOME PRESETS FAILED"
fi

# The fuzzers' table, then CTest's own closing lines, verbatim; presets that
# failed come last.
if [[ -n ${result[fuzz]:-} ]]; then
  printf '\n--- scripts/run-fuzzers.sh\n'
  sed -n '/^=== fuzz: summary/,$p' "$logs/fuzz.log"
fi
if [[ -n ${result[release]:-} ]]; then
  printf '\n--- scripts/check-release.sh\n'
  grep '^\[check-release\]' "$logs/release.log"
fi
ordered=()
for preset in "${presets[@]}"; do
  [[ -z ${step_scripts[$preset]:-} && ${result[$preset]} == ok ]] && ordered+=("$preset")
done
for preset in "${presets[@]}"; do
  [[ -z ${step_scripts[$preset]:-} && ${result[$preset]} != ok ]] && ordered+=("$preset")
done
for preset in "${ordered[@]}"; do
  printf '\n--- ctest --preset %s\n' "$preset"
  if grep -qE '^[0-9]+% tests passed' "$logs/$preset.log"; then
    sed -n '/^[0-9]*% tests passed/,$p' "$logs/$preset.log"
  else
    echo "(no CTest summary: ${result[$preset]})"
  fi
done
exit $overall
