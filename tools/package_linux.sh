#!/usr/bin/env bash
# Builds the Linux program for release and packages it into OUTDIR:
#   orlinde_<version>_amd64.deb              for Debian and its derivatives (an XScreenSaver hack, and a
#                                            Wayland screen saver)
#   orlinde-<version>-linux-x86_64.tar.gz    the program, its settings page, its manual page, INSTALL, LICENSE
# <version> is the project's version in CMakeLists.txt; packaging/linux/ holds the package's own files.
#
# The same source gives the same bytes: every file time is SOURCE_DATE_EPOCH (from the environment, else
# the last commit's time, else the changelog's date), names are sorted, owners and modes are fixed, the
# program carries no build paths and is stripped at link time, and gzip stores no name or time.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
mkdir -p "$1"
out=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
src=$(pwd)
pkg=packaging/linux

export LC_ALL=C TZ=UTC
umask 022

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) && [ -n "$SOURCE_DATE_EPOCH" ]; then
    echo "package_linux: SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH, the last commit's time" >&2
  else
    SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$pkg/changelog" -S Timestamp)
    echo "package_linux: not in git: SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH, the changelog's date" >&2
  fi
fi
export SOURCE_DATE_EPOCH

# The changelog and the manual page name the version; a release whose files disagree is not built.
version=$(sed -nE 's/^project\(Orlinde VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -l "$pkg/changelog" -S Version)
if [ "$changelog_version" != "$version" ]; then
  echo "package_linux: $pkg/changelog is for $changelog_version, the project is $version" >&2
  exit 1
fi
if ! grep -q "^\.TH ORLINDE 6 \"[^\"]*\" \"Orlinde $version\"" "$pkg/orlinde.6"; then
  echo "package_linux: $pkg/orlinde.6 does not name Orlinde $version in its .TH line" >&2
  exit 1
fi

# A release build of its own through the preset linux-release (CMakePresets.json: the hardening flags;
# the top CMakeLists.txt maps the source and build folders out of the program and strips it at link time).
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release
program=$src/build/linux-release/linux/orlinde

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# The Debian package's tree. It sits in debian/orlinde beside a debian/control, where dpkg-shlibdeps
# expects a package it computes dependencies for.
root=$stage/debian/orlinde
install -d -m 0755 "$root/DEBIAN" "$root/usr/libexec/xscreensaver" "$root/usr/share/xscreensaver/config" \
  "$root/usr/share/man/man6" "$root/usr/share/doc/orlinde" "$root/usr/share/applications/screensavers" \
  "$root/usr/libexec/xsecurelock"
install -m 0755 "$program" "$root/usr/libexec/xscreensaver/orlinde"
install -m 0644 "$pkg/orlinde.xml" "$root/usr/share/xscreensaver/config/orlinde.xml"
# MATE's screen saver lists the savers whose entries lie in applications/screensavers; xsecurelock runs
# the saver module its XSECURELOCK_SAVER names from its own folder.
install -m 0644 "$pkg/orlinde.desktop" "$root/usr/share/applications/screensavers/orlinde.desktop"
install -m 0755 "$pkg/saver_orlinde" "$root/usr/libexec/xsecurelock/saver_orlinde"
gzip -n -9 -c "$pkg/orlinde.6" > "$root/usr/share/man/man6/orlinde.6.gz"
install -m 0644 "$pkg/copyright" "$root/usr/share/doc/orlinde/copyright"
gzip -n -9 -c "$pkg/changelog" > "$root/usr/share/doc/orlinde/changelog.Debian.gz"
chmod 0644 "$root/usr/share/man/man6/orlinde.6.gz" "$root/usr/share/doc/orlinde/changelog.Debian.gz"

printf 'Source: orlinde\n\nPackage: orlinde\nArchitecture: amd64\n' > "$stage/debian/control"
depends=$(cd "$stage" && dpkg-shlibdeps -O -edebian/orlinde/usr/libexec/xscreensaver/orlinde |
          sed -n 's/^shlibs:Depends=//p')
if [ -z "$depends" ]; then
  echo "package_linux: dpkg-shlibdeps found no dependencies for the program" >&2
  exit 1
fi
# Installed-Size as dpkg-gencontrol counts it: each file in whole KiB, one for each folder.
installed_size=$(cd "$root" && find usr \( -type f -printf '%s\n' \) -o \( -type d -printf '1024\n' \) |
                 awk '{ kib += int(($1 + 1023) / 1024) } END { print kib }')

cat > "$root/DEBIAN/control" <<EOF
Package: orlinde
Version: $version
Architecture: amd64
Maintainer: $(dpkg-parsechangelog -l "$pkg/changelog" -S Maintainer)
Installed-Size: $installed_size
Depends: $depends
Recommends: xscreensaver
Suggests: xscreensaver-gl
Section: x11
Priority: optional
Description: rain screen saver: ripples on a tilted square of water
 A tilted square of water fills the screen. Rain drops fall at random and
 spread rings of ripples that bend a water-caustics picture reflected in
 the surface.
 .
 Orlinde is an OpenGL hack for XScreenSaver, which MATE's screen saver
 lists among its themes and xsecurelock runs as its saver module
 saver_orlinde. On Wayland, an idle daemon such as swayidle runs it as the
 screen saver of sway and the other desktops with the layer-shell protocol.
 It also runs in a window of its own, where the arrow keys turn and tilt
 the water and the space bar lets a drop fall. Any 24-bit BMP picture can
 replace the built-in one.
EOF
(cd "$root" && find usr -type f | sort | xargs md5sum > DEBIAN/md5sums)
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
deb=$out/orlinde_${version}_amd64.deb
rm -f "$deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null

# The tarball: one folder, sorted names, owner root, fixed modes and times, no name or time in the gzip.
name=orlinde-$version-linux-x86_64
folder=$stage/$name
install -d -m 0755 "$folder"
install -m 0755 "$program" "$folder/orlinde"
install -m 0644 "$pkg/orlinde.xml" "$pkg/orlinde.6" "$pkg/INSTALL" LICENSE "$folder/"
find "$folder" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
tarball=$out/$name.tar.gz
tar --format=gnu --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
  --mode='u+rwX,go+rX,go-w' -C "$stage" -cf - "$name" | gzip -n -9 > "$tarball"

echo "package_linux: $deb"
echo "package_linux: $tarball"
