#!/usr/bin/env bash
# Checks the release as a user gets it: builds the archives twice in two
# build folders (the SHA-256 sums must agree), unpacks each into an empty
# folder and, from there only, renders a second of audio with the packaged
# host (the DLL under Wine, the .so natively) and with lv2apply through the
# LV2 bundle when there is one, loads the factory bank and
# compares its programs with the plug-in's own, refuses damaged banks, and
# checks the HTML manual's links and pictures and that no build path is
# inside. Exits non-zero on the first failure.
#
# Usage: scripts/check-release.sh [WORK_DIR]   (default build/release-check)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(realpath -m "${1:-$root/build/release-check}")"
python=/usr/bin/python3

step() { printf '[check-release] %s\n' "$*"; }
fail() { printf '[check-release] FAILED: %s\n' "$*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
for run in one two; do
  step "release build $run"
  "$root/scripts/make-release.sh" --build-dir "$work/build-$run" --out "$work/$run" >/dev/null
done
cmp -s "$work/one/SHA256SUMS" "$work/two/SHA256SUMS" ||
  fail "two builds of one commit differ: $(diff "$work/one/SHA256SUMS" "$work/two/SHA256SUMS")"
(cd "$work/one" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the archives"
step "two builds give the same sums"

# Runs the packaged host in the current folder: natively, or under Wine.
host() {
  if [[ $kind == windows ]]; then
    "$root/scripts/wine-run.sh" ./vsthost.exe "$@"
  else
    ./vsthost "$@"
  fi
}

check_archive() {
  kind="$1"
  local archive="$2" plugin="$3" unpacked
  unpacked="$(mktemp -d "$work/unpacked-$kind.XXXX")"
  case "$archive" in
    *.zip) unzip -q "$archive" -d "$unpacked" ;;
    *.tar.gz) tar -xzf "$archive" -C "$unpacked" ;;
  esac
  cd "$unpacked"/Quorvane-*
  step "$kind: $(basename "$archive")"

  ! grep -rlaF -e "$root" -e "$work" -e "$(readlink -f "$root/.deps")" . || fail "$kind: a build path inside the files above"

  host "$plugin" --quiet -p Glissando -g noise --seconds 1 -n 0.1:0.5 -o render.wav 2>render.txt ||
    fail "$kind: the packaged host did not render"
  # 44-byte header at least, then a second of 32-bit stereo at 44.1 kHz.
  [[ $(stat -c %s render.wav) -ge $((44 + 44100 * 2 * 4)) ]] || fail "$kind: render too short"

  for program in $(seq 0 10); do
    host "$plugin" -p "$program" | tr -d '\r' >"factory-$program.txt"
    host "$plugin" --load-bank Quorvane-factory.fxb -p "$program" | tr -d '\r' >"bank-$program.txt"
    cmp -s "factory-$program.txt" "bank-$program.txt" ||
      fail "$kind: program $program differs after --load-bank"
  done
  "$python" - Quorvane-factory.fxb factory-*.txt <<'EOF' || fail "$kind: the bank's contents"
import re, struct, sys
data = open(sys.argv[1], "rb").read()
params = 14
listing = open("factory-0.txt").read()
for program in range(12):  # the free slot too: saving must not rename it
    record = data[156 + program * (56 + 4 * params):]
    name = record[28:56].split(b"\0")[0].decode()
    listed = re.search(r"^  [ *] %d +(.*)$" % program, listing, re.M).group(1)
    assert name == listed, (name, listed)
    if program == 11:
        continue
    values = struct.unpack(">%df" % params, record[56:56 + 4 * params])
    shown = re.findall(r"^  \d+ .* (\d\.\d{6})$", open("factory-%d.txt" % program).read(), re.M)
    assert shown == ["%.6f" % v for v in values], (program, shown, values)
EOF
  step "$kind: rendered a second; the bank gives the eleven factory programs"
  if [[ -d Quorvane.lv2 ]]; then
    local uri
    uri="$(sed -n 's/^<\(.*\)>$/\1/p' Quorvane.lv2/manifest.ttl | head -n 1)"
    LV2_PATH="$PWD" lv2apply -i render.wav -o lv2.wav "$uri" >lv2.txt 2>&1 ||
      fail "$kind: the LV2 bundle did not render: $(head -n 3 lv2.txt)"
    [[ $(stat -c %s lv2.wav) -ge $((44100 * 2 * 2)) ]] || fail "$kind: LV2 render too short"
    step "$kind: the LV2 bundle rendered"
  fi

  cp Quorvane-factory.fxb spoilt.fxb
  # Program 3's second value becomes a NaN.
  printf '\x7f\xc0\x00\x00' |
    dd of=spoilt.fxb bs=1 seek=$((156 + 3 * 112 + 60)) conv=notrunc status=none
  head -c 700 Quorvane-factory.fxb >cut.fxb
  for bad in spoilt.fxb cut.fxb render.wav; do
    if host "$plugin" --quiet --load-bank "$bad" -g noise --seconds 1 -o refused.wav \
      2>/dev/null; then
      fail "$kind: accepted $bad"
    fi
    [[ ! -e refused.wav ]] || fail "$kind: rendered after refusing $bad"
  done
  step "$kind: damaged banks refused"

  "$python" - doc/manual.html <<'EOF' || fail "$kind: the HTML manual"
import html.parser, os, sys
page = sys.argv[1]
class Links(html.parser.HTMLParser):
    ids, refs = set(), []
    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs: self.ids.add(attrs["id"])
        for key in ("href", "src"):
            if key in attrs: self.refs.append(attrs[key])
links = Links()
links.feed(open(page, encoding="utf-8").read())
base = os.path.dirname(page)
for ref in links.refs:
    if ref.startswith("#"):
        assert ref[1:] in links.ids, "no anchor " + ref
    elif "://" not in ref and not ref.startswith("mailto:"):
        target = os.path.join(base, ref.split("#")[0])
        assert os.path.isfile(target), "missing " + ref
        if ref.endswith(".png"):
            assert open(target, "rb").read(8) == b"\x89PNG\r\n\x1a\n", "not a PNG: " + ref
print("[check-release] manual: %d links and pictures, all there" % len(links.refs))
EOF
  cd "$root"
}

version="$(sed -n 's/.*Quorvane-\(.*\)-win64\.zip$/\1/p' "$work/one/SHA256SUMS")"
check_archive linux "$work/one/Quorvane-$version-linux-x86_64.tar.gz" ./Quorvane.so
check_archive windows "$work/one/Quorvane-$version-win64.zip" Quorvane_x64.dll
step "all checks passed"
