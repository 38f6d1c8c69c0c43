#!/usr/bin/env bash
# Takes a fresh Debian 12 machine (run as root) to one that builds and tests
# both configurations: Debian packages, static MinGW-w64 libraries (libpng,
# libsndfile with its codecs, libsamplerate) built from Debian's own source
# packages, and a Wine prefix inside the build tree.
# Safe to run again: every step checks whether its result is already there.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="$root/.deps"
mingw_prefix="$deps/mingw"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
jobs="${QUORVANE_JOBS:-2}"
export DEBIAN_FRONTEND=noninteractive

packages=(
  build-essential cmake ninja-build pkg-config git ca-certificates patch xz-utils
  libgtest-dev googletest libbenchmark-dev libpng-dev zlib1g-dev
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32 libz-mingw-w64-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth
  python3 python3-pil fonts-dejavu-core
  libfreetype-dev libxcb1-dev libx11-dev libxtst-dev
  clang libclang-rt-14-dev
  dpkg-dev locales
  libsndfile1-dev libsamplerate0-dev
  lv2-dev liblilv-dev lilv-utils serdi sordi libsuil-dev
  pandoc zip unzip
)

log() { printf '[setup] %s\n' "$*"; }
die() { printf '[setup] error: %s\n' "$*" >&2; exit 1; }

[[ $(id -u) -eq 0 ]] || die "run as root (it installs Debian packages)"
command -v apt-get >/dev/null || die "this script expects Debian 12 (apt-get)"

mkdir -p "$deps"
# Several people or jobs may start set-up at once; one does the work.
exec 9>"$deps/.setup.lock"
flock 9

missing_packages() {
  local p status
  for p in "${packages[@]}"; do
    status="$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)"
    [[ $status == *" ok installed" ]] || printf '%s\n' "$p"
  done
}

have_deb_src() {
  grep -rqsE --include='*.list' --include='*.sources' \
    '^[[:space:]]*(Types:.*deb-src|deb-src[[:space:]])' /etc/apt/sources.list /etc/apt/sources.list.d/
}

# apt-get source needs a deb-src entry for the same archive the machine
# already uses; derive it from the machine's own configuration so that no
# archive address lives in this project.
add_deb_src() {
  local codename src dst added=0
  codename="$(. /etc/os-release && printf '%s' "${VERSION_CODENAME:-bookworm}")"
  for src in /etc/apt/sources.list.d/*.sources; do
    [[ -e $src ]] || continue
    [[ $(basename "$src") == quorvane-src-* ]] && continue
    grep -qE "^Suites:.*\b${codename}\b" "$src" || continue
    dst="/etc/apt/sources.list.d/quorvane-src-$(basename "$src")"
    sed -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb-src/' "$src" >"$dst"
    log "added $dst (deb-src derived from $src)"
    added=1
  done
  if [[ $added -eq 0 && -f /etc/apt/sources.list ]]; then
    dst=/etc/apt/sources.list.d/quorvane-src.list
    sed -nE "s/^[[:space:]]*deb[[:space:]]+(.*[[:space:]]${codename}(-[a-z]+)?([[:space:]].*)?)$/deb-src \1/p" \
      /etc/apt/sources.list >"$dst"
    if [[ -s $dst ]]; then
      log "added $dst (deb-src derived from /etc/apt/sources.list)"
      added=1
    else
      rm -f "$dst"
    fi
  fi
  [[ $added -eq 1 ]] || die "found no apt source for '$codename' to derive a deb-src entry from"
}

# Debian's revision carries fixes on top of the upstream tarball, so fetch
# the newest revision whose files are all downloadable (a mirror may lack
# the newest one's) and apply its patches; with none complete, build the
# upstream tarball as it is.
fetch_source() {
  local package="$1" dir="$2" v
  compgen -G "$dir/${package}_*.debian.tar.*" >/dev/null && return 0
  if ! have_deb_src; then
    add_deb_src
    log "apt-get update (for the new deb-src entry)"
    apt-get update -q
  fi
  log "downloading Debian's $package source package"
  if (cd "$dir" && apt-get source --download-only -q "$package") >"$dir/$package-fetch.log" 2>&1; then
    return 0
  fi
  while read -r v; do
    (cd "$dir" && apt-get source --download-only -q "$package=$v") >>"$dir/$package-fetch.log" 2>&1 &&
      return 0
  done < <(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -Vru)
  compgen -G "$dir/${package}_*.orig.tar.*" >/dev/null ||
    { cat "$dir/$package-fetch.log"; die "could not download the $package source package"; }
  log "warning: no complete Debian revision of $package; building the upstream tarball"
}

apply_debian_patches() {
  local package="$1" dir="$2" tree="$3" debian patch
  debian="$(find "$dir" -maxdepth 1 -name "${package}_*.debian.tar.*" | sort -V | tail -n 1)"
  [[ -n $debian ]] || return 0
  tar -xf "$debian" -C "$tree"
  source_revision="$(basename "$debian")"
  source_revision="${source_revision#"${package}"_}"
  source_revision="Debian ${source_revision%.debian.tar.*}"
  [[ -f $tree/debian/patches/series ]] || return 0
  while read -r patch _; do
    [[ -z $patch || $patch == \#* ]] && continue
    patch -d "$tree" -p1 -s --forward <"$tree/debian/patches/$patch" ||
      die "Debian patch $patch of $package does not apply"
  done <"$tree/debian/patches/series"
  log "applied Debian's patches from $(basename "$debian")"
}

# Written into each library's stamp: libraries built before their source
# paths were mapped away are built again.
paths_mapped="source paths mapped"

# build_mingw_library NAME SOURCE-PACKAGE ARCHIVE [CMAKE-OPTION...]: builds
# Debian's SOURCE-PACKAGE with the MinGW toolchain and installs it, static,
# into the MinGW prefix. A stamp named after NAME, written only once
# lib/ARCHIVE is installed, makes the next run skip it.
build_mingw_library() {
  local name="$1" package="$2" archive="$3"
  shift 3
  local stamp="$mingw_prefix/.$name-built"
  if [[ -f $stamp && -f $mingw_prefix/lib/$archive ]] && grep -qF "$paths_mapped" "$stamp"; then
    log "MinGW $name: present ($(cat "$stamp"))"
    return 0
  fi
  local src_dir="$deps/src" orig version tree build
  mkdir -p "$src_dir"
  fetch_source "$package" "$src_dir"
  orig="$(find "$src_dir" -maxdepth 1 -name "${package}_*.orig.tar.*" | sort -V | tail -n 1)"
  version="$(basename "$orig")"
  version="${version#"${package}"_}"
  version="${version%.orig.tar.*}"
  tree="$src_dir/$package-$version"
  source_revision="upstream tarball"
  rm -rf "$tree" && mkdir -p "$tree"
  tar -xf "$orig" -C "$tree" --strip-components=1
  [[ -f $tree/CMakeLists.txt ]] || die "unexpected layout in $orig"
  apply_debian_patches "$package" "$src_dir" "$tree"
  # The opus 1.3.1 tarball leaves out a file its CMakeLists.txt includes;
  # it only picks a default build type, which we always set.
  if [[ $package == opus && ! -f $tree/opus_buildtype.cmake ]]; then
    : >"$tree/opus_buildtype.cmake"
  fi

  build="$deps/build/$name-mingw"
  rm -rf "$build" && mkdir -p "$deps/build"
  log "building static $name $version for MinGW-w64"
  # Only the MinGW prefix may answer pkg-config, never the machine's own
  # Linux libraries.
  # Sources name their own files (asserts, fatal-error texts); map the build
  # machine's folders away so that no shipped binary carries them.
  PKG_CONFIG_LIBDIR="$mingw_prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
    CFLAGS="-ffile-prefix-map=$deps/=" CXXFLAGS="-ffile-prefix-map=$deps/=" \
    cmake -S "$tree" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$mingw_prefix" \
    -DCMAKE_PREFIX_PATH="$mingw_prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
    "$@" -Wno-dev >"$build.log" 2>&1 || { cat "$build.log"; die "$name configure failed"; }
  cmake --build "$build" -j "$jobs" >>"$build.log" 2>&1 ||
    { tail -n 50 "$build.log"; die "$name build failed"; }
  cmake --install "$build" >>"$build.log" 2>&1 ||
    { tail -n 50 "$build.log"; die "$name install failed"; }
  [[ -f $mingw_prefix/lib/$archive ]] || die "$name installed no $archive"
  printf '%s %s, %s, %s\n' "$name" "$version" "$source_revision" "$paths_mapped" >"$stamp"
  log "MinGW $name $version installed into $mingw_prefix"
}

# --- 1. Debian packages ----------------------------------------------------
mapfile -t missing < <(missing_packages)
# A fresh machine's package lists may be empty: refresh before installing.
if [[ ${#missing[@]} -gt 0 ]]; then
  log "apt-get update"
  apt-get update -q
fi
if [[ ${#missing[@]} -gt 0 ]]; then
  log "installing: ${missing[*]}"
  apt-get install -y -q "${missing[@]}"
else
  log "Debian packages: all present"
fi

# A locale with a decimal comma, so the tests can check that texts for hosts
# keep their decimal point whatever locale a host sets.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  log "generating the de_DE.UTF-8 locale"
  sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi

# --- 2. Static MinGW-w64 libraries from Debian's source packages -----------
# In dependency order. libsndfile takes FLAC only together with Vorbis and
# Opus (one switch), so all of them are built. Nothing may pull in libssp:
# the executables must import only Windows system DLLs.
build_mingw_library libpng libpng1.6 libpng16.a \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
  -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
build_mingw_library libogg libogg libogg.a -DINSTALL_DOCS=OFF
build_mingw_library flac flac libFLAC.a \
  -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF \
  -DINSTALL_MANPAGES=OFF -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF
build_mingw_library libvorbis libvorbis libvorbisenc.a
build_mingw_library opus opus libopus.a -DOPUS_STACK_PROTECTOR=OFF -DOPUS_BUILD_PROGRAMS=OFF
# Prefer the installed CMake packages: libsndfile's own FLAC finder misses
# FLAC__NO_DLL, and the link then asks for the DLL's __imp_ symbols.
build_mingw_library libsndfile libsndfile libsndfile.a \
  -DCMAKE_FIND_PACKAGE_PREFER_CONFIG=ON -DENABLE_EXTERNAL_LIBS=ON -DENABLE_MPEG=OFF \
  -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DENABLE_CPACK=OFF
build_mingw_library libsamplerate libsamplerate libsamplerate.a -DLIBSAMPLERATE_EXAMPLES=OFF
# Google Benchmark needs std::thread, which the win32 thread model lacks: it
# and the Windows benchmark alone use the posix model, in a prefix of their own.
toolchain="$root/cmake/mingw-w64-x86_64-posix.cmake" mingw_prefix="$deps/mingw-posix" \
  build_mingw_library benchmark benchmark libbenchmark.a \
  -DGIT_VERSION=0.0.0 -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
  -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_LTO=OFF -DBENCHMARK_INSTALL_DOCS=OFF

# --- 3. Wine prefix ----------------------------------------------------------
wineprefix="$root/build/wineprefix"
if [[ -f $wineprefix/system.reg ]]; then
  log "Wine prefix: present ($wineprefix)"
else
  log "creating the Wine prefix $wineprefix (about ten seconds)"
  mkdir -p "$root/build"
  # wineboot prints a harmless note about the missing 32-bit rundll32.exe.
  WINEPREFIX="$wineprefix" "$root/scripts/wine-run.sh" wineboot --init >/dev/null 2>&1 || true
  WINEPREFIX="$wineprefix" wineserver -w
  [[ -f $wineprefix/system.reg ]] || die "Wine did not create $wineprefix"
fi

log "done"
