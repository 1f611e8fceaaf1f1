#!/usr/bin/env bash
# Builds a release from the tree: the windows preset's programs and installer, then into out/release/
#   Orlinde-<version>-setup.exe   the per-user installer
#   Orlinde-<version>-win64.zip   the two programs and how to install them by hand
#   orlinde_<version>_amd64.deb   the Linux program as a Debian package (tools/package_linux.sh)
#   orlinde-<version>-linux-x86_64.tar.gz   the same for other Linux systems
#   SHA256SUMS                    of every file above
# <version> is the project's version in CMakeLists.txt. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

cmake --preset windows >/dev/null
cmake --build --preset windows --target Orlinde Velsora installer

version=$(sed -nE 's/^project\(Orlinde VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
build=build/windows
out=out/release
rm -rf "$out"
mkdir -p "$out"
cp "$build/installer/Orlinde-$version-setup.exe" "$out/"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder="$stage/Orlinde-$version"
mkdir "$folder"
cp "$build/host/Orlinde.scr" "$build/renderer/Orlinde.xy" "$folder/"
cp installer/INSTALL.txt "$folder/INSTALL.txt"
# Fixed file times and order, so that one tree always gives the same archive.
find "$folder" -exec touch -d "@$(git log -1 --format=%ct 2>/dev/null || echo 0)" {} +
(cd "$stage" && zip -X -q -r "$OLDPWD/$out/Orlinde-$version-win64.zip" "Orlinde-$version")

tools/package_linux.sh "$out"

(cd "$out" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort | xargs sha256sum > SHA256SUMS)
echo "release: $out"
ls -l "$out"
