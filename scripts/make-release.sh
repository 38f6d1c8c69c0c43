#!/usr/bin/env bash
# Builds the release archives of the checked-out commit:
#   Quorvane-<version>-win64.zip, Quorvane-<version>-linux-x86_64.tar.gz and
#   SHA256SUMS, in out/release (or --out DIR).
# The version is the one the built plug-in reports. The same commit gives
# byte-identical archives: every time stamp is the commit's, entries are
# sorted, owners and permissions fixed, and no build path is compiled in.
#
# Usage: scripts/make-release.sh [--build-dir DIR] [--out DIR]
# Needs what scripts/setup.sh installs (run it first on a fresh machine).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
out="$root/out/release"
jobs="${QUORVANE_JOBS:-2}"

while [[ $# -gt 0 ]]; do
  case "$1" in
    --build-dir) build="$(realpath -m "$2")"; shift 2 ;;
    --out) out="$(realpath -m "$2")"; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) printf 'make-release: unknown argument %s\n' "$1" >&2; exit 2 ;;
  esac
done

log() { printf '[release] %s\n' "$*"; }
die() { printf '[release] error: %s\n' "$*" >&2; exit 1; }

export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}"
[[ -n $SOURCE_DATE_EPOCH ]] || die "no commit to take the time from: set SOURCE_DATE_EPOCH"
export TZ=UTC LC_ALL=C
umask 022

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Source and build folders are written as relative names wherever the
# compiler would record them.
path_map="-ffile-prefix-map=$root/=./ -ffile-prefix-map=$build/=./"

configure_and_build() {
  local name="$1"; shift
  log "building $name"
  cmake -S "$root" -B "$build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_BUILD_BENCHMARKS=OFF \
    -DCMAKE_C_FLAGS="$path_map" -DCMAKE_CXX_FLAGS="$path_map" "${launcher[@]}" "$@" >/dev/null
  cmake --build "$build/$name" -j "$jobs" >/dev/null
}

configure_and_build linux
configure_and_build windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"

linux_host="$build/linux/tools/vsthost/vsthost"
linux_plugin="$build/linux/effect/plugin/Quorvane.so"
windows_host="$build/windows/tools/vsthost/vsthost.exe"
windows_plugin="$build/windows/effect/plugin/Quorvane_x64.dll"
for f in "$linux_host" "$linux_plugin" "$windows_host" "$windows_plugin"; do
  [[ -f $f ]] || die "the build left no $f"
done

version="$("$linux_host" "$linux_plugin" | sed -n 's/^Version: *//p')"
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || die "the plug-in reported no version ('$version')"
log "version $version"

stage="$build/stage"
rm -rf "$stage"
mkdir -p "$stage/common/doc"
"$linux_host" "$linux_plugin" --quiet --save-bank "$stage/common/Quorvane-factory.fxb"
cp "$root/CHANGELOG.md" "$stage/common/"
pandoc --from gfm --to html5 --standalone \
  --metadata pagetitle="Quorvane $version user manual" \
  --output "$stage/common/doc/manual.html" "$root/docs/manual.md"
# The pictures the manual shows, and only those.
grep -oE '!\[[^]]*\]\([^)]+\)' "$root/docs/manual.md" | sed -E 's/.*\((.*)\)/\1/' |
  while read -r picture; do cp "$root/docs/$picture" "$stage/common/doc/"; done

win="Quorvane-$version-win64"
lin="Quorvane-$version-linux-x86_64"
mkdir -p "$stage/$win" "$stage/$lin"
cp -r "$stage/common/." "$stage/$win/"
cp -r "$stage/common/." "$stage/$lin/"
install -m 755 "$windows_plugin" "$windows_host" "$stage/$win/"
install -m 755 "$linux_plugin" "$linux_host" "$stage/$lin/"
lv2_bundle="$build/linux/lv2/Quorvane.lv2"
if [[ -d $lv2_bundle ]]; then
  cp -r "$lv2_bundle" "$stage/$lin/"
  find "$stage/$lin/Quorvane.lv2" -name '*.so' -exec strip --strip-unneeded {} +
fi
x86_64-w64-mingw32-strip --strip-unneeded "$stage/$win/Quorvane_x64.dll" "$stage/$win/vsthost.exe"
strip --strip-unneeded "$stage/$lin/Quorvane.so" "$stage/$lin/vsthost"

for dir in "$stage/$win" "$stage/$lin"; do
  find "$dir" -type d -exec chmod 755 {} +
  find "$dir" -type f ! -perm -u+x -exec chmod 644 {} +
  find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
done
touch -d "@$SOURCE_DATE_EPOCH" "$stage/$win" "$stage/$lin"

mkdir -p "$out"
rm -f "$out/$win.zip" "$out/$lin.tar.gz" "$out/SHA256SUMS"
(cd "$stage" && find "$win" | sort | zip -X -9 -q "$out/$win.zip" -@)
(cd "$stage" && tar --sort=name --format=gnu --owner=0 --group=0 --numeric-owner \
  --mtime="@$SOURCE_DATE_EPOCH" -cf - "$lin") | gzip -n -9 >"$out/$lin.tar.gz"
(cd "$out" && sha256sum "$win.zip" "$lin.tar.gz" >SHA256SUMS)
log "wrote $out:"
sed 's/^/[release]   /' "$out/SHA256SUMS"
