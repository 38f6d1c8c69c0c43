#!/usr/bin/env bash
# The command-line host driven as users drive it, natively or under Wine:
# its files, its exit status and its messages.
#   host-end-to-end.sh WORKDIR PLUGIN HOST [EMULATOR...]
# FAKE_MAIN_LIBRARY (native only): a library whose main is no plug-in entry.
set -uo pipefail
work=$1 plugin_built=$(realpath "$2")
shift 2
host=("$@")
rm -rf "$work" && mkdir -p "$work/out" && cd "$work" || exit 1
windows=0
[[ ${host[-1]} == *.exe ]] && windows=1
plugin="$work/plug.${plugin_built##*.}"
cp "$plugin_built" "$plugin"
failures=0

# run EXPECTED_STATUS ARGS...: runs the host on the plug-in copy; leaves
# stdout in out.txt and standard error in err.txt.
run() {
  local expected=$1
  shift
  "${host[@]}" "$plugin" "$@" >out.txt 2>err.txt
  status=$?
  if [[ $status -ne $expected ]]; then
    echo "FAIL: vsthost $* -> exit $status, expected $expected"
    sed 's/^/    /' err.txt | head -n 5
    failures=$((failures + 1))
    return 1
  fi
}

# says TEXT: the last run's standard error contains TEXT.
says() {
  if ! grep -qF -- "$1" err.txt; then
    echo "FAIL: expected '$1' in:"
    sed 's/^/    /' err.txt | head -n 5
    failures=$((failures + 1))
  fi
}

check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if ! "$@"; then
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

run 0 -q -g noise --seconds 3 --tail 0 -o in.wav
cp in.wav keep.wav
cp "$plugin" plugin-before

# Bad command lines and impossible requests, found before any work.
while IFS='|' read -r expected fragment args; do
  eval "set -- $args"
  run "$expected" "$@" && says "$fragment"
done <<'TABLE'
2|that is the plug-in being loaded|-g noise --seconds 0.1 -o "$plugin"
2|that is the plug-in being loaded|--save-state "$plugin"
2|that is an input file|-i in.wav --save-state in.wav
2|Filter Type=highpas: 'highpas' is not a value of parameter 0 (Filter Type): give one of Lowpass, Highpass, Bandpass|-s "Filter Type=highpas"
2|give a number in 20..20000 Hz|-s "Filter Freq=2k"
2|give a number in 0..100 %|-s "ENV Depth=abc"
2|give a number in 20..20000 Hz|-s "Filter Freq=20001"
2|no such program|-p "No Such Program"
2|start time must be a finite|-g noise -n inf:1
2|--note 1:1:60:128: velocity must be a whole number in 1..127|-g noise -n 1:1:60:128
2|--signal square:440|-g square:440
2|must not be empty|-g noise -o ""
2|several inputs need --output FOLDER/|in.wav keep.wav -o x.wav
1|not a program state file|--load-state in.wav
TABLE
check "the plug-in file survived" cmp -s "$plugin" plugin-before

# Several inputs: each into the folder under its own name; a bad one is
# reported and the others still render.
run 1 -q --tail 0 -o out/ in.wav missing.wav keep.wav && says "missing.wav"
check "both good inputs rendered" test -s out/in.wav -a -s out/keep.wav

# A state file: saved, loaded; random bytes and the plug-in refused.
run 0 -q -s "Filter Freq=2000 Hz" -s "filter type=bandpass" --save-state state.fxp
run 0 --load-state state.fxp && check "state restored" grep -q "Filter Type *Bandpass" out.txt
# A bare chunk, as earlier versions of the host saved it, still loads.
python3 -c "import struct, sys; sys.stdout.buffer.write(bytes([0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0]) +
  struct.pack('<14d', 2, 2000, 12, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0))" >bare.bin
run 0 --load-state bare.bin && says "older version of this host"
check "a bare state restored" grep -q "Filter Freq *2000" out.txt
head -c 120 /dev/urandom >random.fxp
run 1 --load-state random.fxp && says "not a program state file"
run 1 --load-state "$plugin" && says "not a program state file"

# A bank of every program: saved, loaded; a damaged one refused whole.
run 0 -q -p 5 -s "Filter Mix=50" --save-bank bank.fxb
run 0 --load-bank bank.fxb && check "bank restored" grep -q "Filter Mix *50" out.txt
check "saving left the free slot's name alone" grep -q " 11  *- 12 -" out.txt
head -c 1000 bank.fxb >damaged.fxb
run 1 --load-bank damaged.fxb && says "damaged bank file"

# A zero-length note and a note far past the end.
run 0 -q -g noise --seconds 0.5 -n 0.1:0 -n 1e15:1 && says "starts after the render's end"

# The in-place render: a failing write (a file-size limit) leaves the input.
# Wine cannot ignore the limit's signal itself: the shell does it for it.
(trap '' XFSZ && ulimit -f 400 && "${host[@]}" "$plugin" -q -i in.wav -o in.wav --tail 0) 2>err.txt
status=$?
check "a failed in-place write fails (exit $status)" test $status -eq 1
says "write failed"
check "the input survived the failed write" cmp -s in.wav keep.wav
check "no temporary file is left" test -z "$(ls -A | grep '\.tmp$')"

# ... and a write that succeeds replaces the input with the render.
cp keep.wav inplace.wav
run 0 -q -i inplace.wav -o inplace.wav --tail 0 -p "Low Frequencies"
differs() { ! cmp -s "$1" "$2"; }
check "the in-place render replaced its input" differs inplace.wav keep.wav
check "... keeping its length" test "$(wc -c <inplace.wav)" -eq "$(wc -c <keep.wav)"

# Interrupted renders: every temporary removed, the target as it was.
# Wine turns only SIGINT into a console event (Ctrl-C).
signals=(INT TERM)
[[ $windows -eq 1 ]] && signals=(INT)
for signal in "${signals[@]}"; do
  cp keep.wav interrupted.wav
  # A background job would otherwise start with SIGINT ignored.
  env --default-signal="$signal" "${host[@]}" "$plugin" -q -g noise --seconds 3000 --tail 0 \
    --format s16 -o interrupted.wav 2>/dev/null &
  for _ in $(seq 100); do
    [[ -n $(ls -A | grep '^\.interrupted\.wav\..*\.tmp$') ]] && break
    sleep 0.1
  done
  kill -s "$signal" $!
  wait $!
  status=$?
  [[ $signal == INT ]] && check "Ctrl-C ends with 130 (exit $status)" test $status -eq 130
  check "SIG$signal leaves no temporary" test -z "$(ls -A | grep '\.tmp$')"
  check "SIG$signal leaves the target as it was" cmp -s interrupted.wav keep.wav
done

# Replaced files keep their permissions; new ones follow the umask. On
# Windows a read-only file (Wine: one without write permission) is refused.
cp keep.wav private.wav && chmod 640 private.wav
if [[ $windows -eq 0 ]]; then
  run 0 -q -i private.wav -o private.wav --tail 0
  check "an in-place render keeps the mode" test "$(stat -c %a private.wav)" = 640
  (umask 077 && "${host[@]}" "$plugin" -q -g noise --seconds 0.1 -o fresh.wav)
  check "a new file follows the umask" test "$(stat -c %a fresh.wav)" = 600
else
  chmod 440 private.wav
  run 1 -q -i private.wav -o private.wav --tail 0 && says "read-only"
  check "a read-only file is left as it was" cmp -s private.wav keep.wav
  check "... with no temporary beside it" test -z "$(ls -A | grep '\.tmp$')"
fi

# Formats: FLAC, RF64, resampling 44.1 to 48 kHz, integers, pipes.
run 0 -q -g sine:1000 --seconds 1 --tail 0 -o tone.flac
run 0 --no-report -i tone.flac -r 48000 --tail 0 -o tone.rf64 && says "rendered 48000 frames"
check "an RF64 header" test "$(head -c 4 tone.rf64)" = RF64
run 0 --no-report -i tone.rf64 --tail 0 --format s16 -o tone16.wav && says "rendered 48000 frames"
run 0 --no-report -i in.wav --tail 0 -o same.wav && says "rendered 132300 frames"
check "no progress on a pipe" test -z "$(sed 's/\r$//' err.txt | grep $'\r')"
run 0 --no-report -i in.wav
frames=$(sed -n 's/^rendered \([0-9]*\) frames.*/\1/p' err.txt)
check "a release tail past the input (${frames:-?} frames)" test "${frames:-0}" -gt 132300
head -c 300000 in.wav >truncated.wav
run 0 --no-report -i truncated.wav --tail 0 && says "truncated: its header declares 132300 frames"
if [[ $windows -eq 0 ]]; then
  "${host[@]}" "$plugin" -q -i - -o - --tail 0 <in.wav >piped.wav
  check "a render through pipes" test $? -eq 0 -a -s piped.wav
  run 0 --no-report -i piped.wav && says "rendered"
fi

# Memory stays flat however long the render.
run 0 --no-report -g noise --seconds 600 --tail 0 --format s16 -o long.wav
peak=$(sed -n 's/^peak memory: \([0-9]*\).*/\1/p' err.txt)
check "600 s in under 64 MB (peak ${peak:-?} MB)" test "${peak:-999}" -lt 64
rm -f long.wav
# On a terminal the same render shows its progress on one line.
if [[ $windows -eq 0 ]] && command -v script >/dev/null; then
  script -qec "$(printf '%q ' "${host[@]}" "$plugin") --no-report -g noise --seconds 1200 --tail 0" \
    /dev/null >tty.txt 2>&1
  check "progress on a terminal" grep -q "x real time .* left" tty.txt
fi

# The report as JSON matches the plug-in's own texts.
run 0 --json && cp out.txt report.json
run 0 -p Glissando && cp out.txt report.txt
check "the JSON report parses and agrees" python3 - report.json report.txt <<'PY'
import json, re, sys
report = json.load(open(sys.argv[1]))
text = open(sys.argv[2]).read()
params = report["parameters"]
assert len(params) == 14 and params[1]["name"] == "Filter Freq", params[1]
assert params[1]["unit"] == "Hz" and params[1]["range"] == {"min": 20, "max": 20000}
assert params[0]["valueNames"] == ["Lowpass", "Highpass", "Bandpass"]
assert report["programs"]["names"][5] == "Glissando"
names = re.findall(r"^  (\d+) +(.+?) {2,}", text, re.M)
for index, name in names[:13]:
    assert params[int(index)]["name"] == name, (index, name)
PY

# The closing summary's warnings.
run 0 --no-report -p Glissando -g noise --seconds 1 && says "opened by MIDI notes: add --note"
run 0 --no-report -p Glissando -g noise --seconds 2 -n 0:1.5 -o loud.wav && says "above full scale"
echo "not a library" >not-a-plugin.dll
"${host[@]}" not-a-plugin.dll >out.txt 2>err.txt
check "a library that will not load fails" test $? -eq 1
says "not-a-plugin.dll"
check "loader errors in words" test -z "$(grep -E '\(error [0-9]+\)' err.txt)"

# Timing: a table row per plug-in given.
run 0 --bench "$plugin" --seconds 0.05 --rounds 3
check "a timing row for each plug-in" test "$(grep -c '^| Quorvane | [0-9.]* |' out.txt)" -eq 2

# Standard output that cannot be written is a failure.
"${host[@]}" "$plugin" >/dev/full 2>err.txt
check "a report into a full device fails" test $? -eq 1
run 0 --version

if [[ $windows -eq 1 ]]; then
  run 2 -g noise --seconds 0.1 -o aux.wav && says "device name"
  run 2 -g noise --seconds 0.1 -o COM1.flac && says "device name"
  run 0 -q -g noise --seconds 0.5 -o "Ωmega.wav"
  cp "Ωmega.wav" "日本.wav"
  run 0 --no-report -i "日本.wav" -o "Ωmega-2.flac" --tail 0 && says "Ωmega-2.flac"
  check "wide names kept" test -s "Ωmega.wav" -a -s "Ωmega-2.flac" -a ! -e Omega.wav
  mkdir "日本"
  run 0 -q --screenshot "日本/Ωmega.png"
  check "a picture in a wide-named folder" test "$(head -c 4 "日本/Ωmega.png" | tail -c 3)" = PNG
else
  # Without an X server there is no picture, and no file of it, not even a part.
  DISPLAY= run 1 -q --screenshot shot.png && says "X server"
  check "no picture without an X server" test ! -e shot.png
  check "no temporary file left" test -z "$(ls -A | grep '^\.shot\.png\.')"
  if [[ -n ${DISPLAY:-} ]]; then
    run 0 -q --screenshot shot.png
    check "the editor's picture saved" test -s shot.png
  fi
  if [[ -n ${FAKE_MAIN_LIBRARY:-} ]]; then
    "${host[@]}" "$FAKE_MAIN_LIBRARY" >out.txt 2>err.txt
    check "a library's own main is refused (exit $?)" grep -q "not a plug-in entry point" err.txt
  fi
fi

echo "$failures failure(s)"
[[ $failures -eq 0 ]]
