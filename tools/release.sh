#!/usr/bin/env bash
# Builds a release from the tree: the windows preset's programs and installer, then into out/release/
#   Orlinde-<version>-setup.exe   the per-user installer
#   Orlinde-<version>-win64.zip   the two programs and how to install them by hand
#   SHA256SUMS                    of both
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

(cd "$out" && sha256sum "Orlinde-$version-setup.exe" "Orlinde-$version-win64.zip" > SHA256SUMS)
echo "release: $out"
ls -l "$out"
