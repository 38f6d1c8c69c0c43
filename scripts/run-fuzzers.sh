#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time on a scratch
# copy of its seed corpus under build/fuzz-run/, so the committed corpus never
# grows. Exits non-zero if any target crashed, broke an invariant or did not
# run; the crashing inputs are kept in build/fuzz-run/<target>/findings/.
# Prints a table of executions and executions per second per target.
#
#   scripts/run-fuzzers.sh [target...]   default: every target
#   QUORVANE_FUZZ_SECONDS=600 scripts/run-fuzzers.sh chunks
#
# Targets: chunks png param_text dispatcher host_input lv2_state. A finding replays with
#   build/fuzz/fuzz/fuzz_<target> build/fuzz-run/<target>/findings/<file>
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root" || exit 1
seconds="${QUORVANE_FUZZ_SECONDS:-60}"
all_targets=(chunks png param_text dispatcher host_input lv2_state)
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=("${all_targets[@]}")
bin="$root/build/fuzz/fuzz"
scratch="$root/build/fuzz-run"

[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "QUORVANE_FUZZ_SECONDS must be a positive number" >&2; exit 2; }
for target in "${targets[@]}"; do
  [[ " ${all_targets[*]} " == *" $target "* ]] || { echo "unknown fuzz target: $target" >&2; exit 2; }
done

echo "=== fuzz: configure and build"
cmake --preset fuzz >"$root/build/fuzz-configure.log" 2>&1 ||
  { cat "$root/build/fuzz-configure.log"; echo "fuzz: configure FAILED" >&2; exit 1; }
cmake --build --preset fuzz || { echo "fuzz: build FAILED" >&2; exit 1; }

declare -A status runs rate
overall=0
for target in "${targets[@]}"; do
  work="$scratch/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  cp "$root/fuzz/corpus/$target/"* "$work/corpus/"
  dict=()
  [[ -f $root/fuzz/$target.dict ]] && dict=(-dict="$root/fuzz/$target.dict")
  echo
  echo "=== fuzz: $target for ${seconds}s"
  # -rss_limit_mb: an image may legitimately decode to a few hundred MiB under
  # AddressSanitizer; the default 2 GiB stays the ceiling. -timeout: one input
  # taking this long is a hang.
  ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$bin/fuzz_$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
      -print_final_stats=1 "${dict[@]}" -artifact_prefix="$work/findings/" "$work/corpus" \
      >"$work/log" 2>&1
  rc=$?
  # libFuzzer ends a run with "Done N runs in S second(s)".
  done_line="$(grep -E '^Done [0-9]+ runs in [0-9]+ second' "$work/log" | tail -n 1)"
  if [[ $rc -eq 0 && -n $done_line ]]; then
    status[$target]=ok
    runs[$target]="$(sed -E 's/^Done ([0-9]+) runs in ([0-9]+) second.*/\1/' <<<"$done_line")"
    elapsed="$(sed -E 's/^Done ([0-9]+) runs in ([0-9]+) second.*/\2/' <<<"$done_line")"
    rate[$target]=$((runs[$target] / (elapsed > 0 ? elapsed : 1)))
    tail -n 3 "$work/log"
  else
    status[$target]="FAILED (exit $rc)"
    runs[$target]="$(grep -oE '^#[0-9]+' "$work/log" | tail -n 1 | tr -d '#')"
    rate[$target]="-"
    overall=1
    grep -E -A 40 'ERROR: |fuzz invariant broken|runtime error' "$work/log" | head -n 60
    echo "full log: $work/log; inputs: $work/findings/"
  fi
done

echo
echo "=== fuzz: summary (${seconds}s per target)"
printf '  %-12s %-18s %14s %12s\n' target result executions "exec/s"
for target in "${targets[@]}"; do
  printf '  %-12s %-18s %14s %12s\n' "$target" "${status[$target]}" "${runs[$target]:-0}" \
    "${rate[$target]}"
done
if [[ $overall -eq 0 ]]; then
  echo "ALL FUZZ TARGETS PASSED"
else
  echo "SOME FUZZ TARGETS FAILED"
fi
exit $overall
