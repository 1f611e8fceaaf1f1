#!/usr/bin/env bash
# The screen saver's main job: installs what is missing, builds the Windows programs, and runs
# "Orlinde.scr /s" under Wine — on $DISPLAY when there is one, otherwise on a virtual display —
# keeping screenshots and an animated GIF in out/run/. Options go to tools/run_screensaver.py
# (for example --seconds 20, --music song.mp3, --virtual).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
exec python3 tools/run_screensaver.py "$@"
