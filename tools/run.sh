#!/usr/bin/env bash
# The screen saver's main job: installs what is missing, builds the Windows programs, and runs
# "Orlinde.scr /s" under Wine — on $DISPLAY when there is one, otherwise on a virtual display —
# keeping screenshots and an animated GIF in out/run/. Options go to tools/run_screensaver.py
# (for example --seconds 20, --music song.mp3, --virtual).
#
# With --native it builds and runs the Linux program `orlinde` instead: in a window of the Wayland session or
# on $DISPLAY, otherwise full screen on a virtual display with the same pictures in out/run/
# (tools/run_native.py; --seconds, --virtual, and the program's own options after "--").
#
# With --web it builds the web page and serves it on 127.0.0.1: opened in the system's browser when there is
# a display, otherwise shown in headless chromium with the same pictures in out/run/ (tools/run_web.py;
# --seconds, --headless, --query "?rain-interval=200&fps").
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
if [ "${1:-}" = "--native" ]; then
  shift
  cmake --preset native >/dev/null
  cmake --build --preset native --target orlinde
  exec python3 tools/run_native.py "$@"
fi
if [ "${1:-}" = "--web" ]; then
  shift
  cmake --preset web >/dev/null
  cmake --build --preset web --target orlinde_web
  exec /usr/bin/python3 tools/run_web.py "$@"
fi
cmake --preset windows >/dev/null
cmake --build --preset windows
exec python3 tools/run_screensaver.py "$@"
