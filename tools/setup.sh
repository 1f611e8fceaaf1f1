#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Orlinde needs, and prepares the
# Japanese locale that the Wine tests use for the Shift-JIS code page. Safe to run again: it installs
# only what is missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  # build: native cores and tests, the Windows cross build
  cmake ninja-build g++ clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  googletest libgtest-dev libbenchmark-dev
  libosmesa6-dev libglu1-mesa-dev
  # running the Windows programs: Wine on a virtual X display with Mesa's software OpenGL
  wine wine64 xvfb xauth x11-utils xdotool libgl1-mesa-dri imagemagick
  fonts-ipafont-gothic fonts-liberation locales
  # music under Wine: MP3 through GStreamer, test sounds made with sox and lame
  gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-libav sox lame
  # the X11 headers: the Linux edition and the tests' X fixtures
  libx11-dev
  # the Linux edition: X11 + GLX, the DPMS extension (libXext), the XScreenSaver daemon and its GL visual
  # helper to run it under
  libgl-dev libxext-dev xscreensaver xscreensaver-gl
  # the Linux edition's monitor list: Xinerama heads, RandR's primary output
  libxinerama-dev libxrandr-dev
  # monitors that change during a run: Xorg with the dummy video driver, its outputs changed with xrandr
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  # releases: the installer, its resource checks, the archive, the Debian package and its checks
  nsis python3-pefile zip dpkg-dev lintian
  # the end-to-end tests: numpy fits the drawn surface's outline
  python3 python3-numpy
  # the soak run's plot
  python3-matplotlib
  # the Linux edition on Wayland: the client library and wayland-scanner, xdg-shell's XML, EGL for desktop
  # GL on a Wayland surface, xkbcommon for the keyboard's keymap, pkg-config to find them
  libwayland-dev libwayland-bin wayland-protocols libegl-dev libxkbcommon-dev pkgconf
  # the shader path's OpenGL ES 2 header (its tests draw through OSMesa's GL 2.0 entry points)
  libgles-dev
  # the web page: Emscripten (with its system libraries prebuilt) and, for its tests, Debian's chromium
  # driven through chromedriver by Selenium
  emscripten chromium chromium-driver python3-selenium
)

missing=()
missing_lean=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installed without their recommends, which would bring in large sets of tools not needed here: diffoscope's
# format tools, and a whole MATE desktop for the two screen lockers the Linux package's tests run it under
# (with the D-Bus session, gsettings and the desktop-entry check those tests call).
# The Wayland tests' headless compositor with layer-shell, its idle daemon, screenshots and keys come the same way
# (sway would bring a terminal, a menu and Xwayland), and weston, a compositor without layer-shell.
lean=(diffoscope-minimal xsecurelock mate-screensaver dbus-daemon libglib2.0-bin desktop-file-utils
      sway swayidle grim wtype weston)

for p in "${lean[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing_lean+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_lean[@]} -gt 0 ]; then
  as_root apt-get -o DPkg::Lock::Timeout=600 update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q "${missing[@]}"
fi
if [ ${#missing_lean[@]} -gt 0 ]; then
  echo "setup: installing ${missing_lean[*]} (without recommends)"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing_lean[@]}"
fi

# The Japanese locale makes Wine use code page 932, as on a Japanese Windows.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
