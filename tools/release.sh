#!/usr/bin/env bash
# Builds a release from the tree into out/release/:
#   Orlinde-<version>-setup.exe   the per-user installer
#   Orlinde-<version>-win64.zip   the two programs, how to install them by hand, the license
#   (the Linux edition's package and tarball, from tools/package_linux.sh)
#   orlinde-<version>-web.zip     the web page: index.html, orlinde.js, orlinde.wasm, the license
#   BUILDINFO.txt                 the commit, its time and the Debian versions of the tools that made the bytes
#   SHA256SUMS                    of every other file there
# <version> is the project's version in CMakeLists.txt. Installs what is missing first.
#
# The same commit gives the same bytes on any Debian 12 machine with the versions in BUILDINFO.txt, whatever
# the folder, umask, time zone or locale: every time stamp is SOURCE_DATE_EPOCH, the commit's time (a tree
# outside git uses a fixed time instead), and tools/verify-release.sh proves it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

if commit=$(git rev-parse --verify HEAD 2>/dev/null); then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
else
  commit="none (not a git checkout)"
  SOURCE_DATE_EPOCH=1767225600  # 2026-01-01 00:00:00 UTC
  echo "release: not a git checkout: SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH, a fixed time" >&2
fi
export SOURCE_DATE_EPOCH

cmake --preset windows >/dev/null
cmake --build --preset windows --target Orlinde Velsora installer

version=$(sed -nE 's/^project\(Orlinde VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
build=build/windows
out=out/release
rm -rf "$out"
mkdir -p "$out"
cp "$build/installer/Orlinde-$version-setup.exe" "$out/"

# A zip made the same from the same files: fixed times (stored as local time, so in UTC), fixed modes, names
# in one order, no extra fields. zip_folder NAME ZIP FILE:NAME-IN-ZIP...
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
zip_folder() {
  local name=$1 zip_path=$2 file
  shift 2
  mkdir "$stage/$name"
  for file in "$@"; do cp "${file%%:*}" "$stage/$name/${file#*:}"; done
  chmod 755 "$stage/$name"
  chmod 644 "$stage/$name"/*
  find "$stage/$name" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
  (cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q "$zip_path" -@)
}
zip_folder "Orlinde-$version" "$PWD/$out/Orlinde-$version-win64.zip" "$build/host/Orlinde.scr:Orlinde.scr" \
  "$build/renderer/Orlinde.xy:Orlinde.xy" installer/INSTALL.txt:INSTALL.txt LICENSE:LICENSE.txt

# The Linux edition: orlinde_<version>_amd64.deb and orlinde-<version>-linux-x86_64.tar.gz.
tools/package_linux.sh "$out"

# The web page, zipped as the Windows programs are: the files to put on any web server.
cmake --preset web >/dev/null
cmake --build --preset web --target orlinde_web
page=build/web/web/page
zip_folder "orlinde-$version-web" "$PWD/$out/orlinde-$version-web.zip" "$page/index.html:index.html" \
  "$page/orlinde.js:orlinde.js" "$page/orlinde.wasm:orlinde.wasm" LICENSE:LICENSE.txt

# What made the bytes: no host name, no path, no build time.
{
  echo "commit: $commit"
  echo "SOURCE_DATE_EPOCH: $SOURCE_DATE_EPOCH"
  # A build setting that reaches the bytes: a rebuild configures the same one.
  echo "ORLINDE_HOME_PAGE: $(sed -n 's/^ORLINDE_HOME_PAGE:STRING=//p' "$build/CMakeCache.txt")"
  echo "Debian packages:"
  dpkg-query -W -f='  ${binary:Package} ${Version}\n' \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix-runtime mingw-w64-x86-64-dev \
    binutils-mingw-w64-x86-64 nsis zip dpkg g++ g++-12 binutils gzip tar cmake ninja-build \
    dpkg-dev xz-utils libc6-dev libstdc++-12-dev libx11-dev libgl-dev libglu1-mesa-dev \
    libc6 libgcc-s1 libstdc++6 libx11-6 libgl1 libglu1-mesa emscripten clang-14 lld-14 binaryen nodejs |
    LC_ALL=C sort
} > "$out/BUILDINFO.txt"

chmod 644 "$out"/*
(cd "$out" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort |
  while read -r name; do sha256sum "$name"; done > SHA256SUMS)
echo "release: $out"
ls -l "$out"
