#!/usr/bin/env bash
# Soak run: the real screen saver (/s, rain at its fastest rate) and the settings dialog (/c, about panel
# animating, pointer crossing the buttons) under Wine side by side, for a two-minute warm-up and then N
# minutes, sampling handles, threads and memory from inside Wine. Writes out/soak/soak.csv, out/soak/soak.png
# and end-of-run screenshots; fails when a series grows after the warm-up.
#
# With --changes: the monitors change under the running programs on Xorg with the dummy driver instead: the
# Linux program on the root window for N minutes (30 unless --minutes says otherwise) with a monitor change
# every 30 s (memory, file descriptors, threads and textures sampled), and beside it the Windows renderer for
# as long with a mode change a minute. Writes out/soak-changes/changes.csv and the last screenshots.
#
#   tools/soak.sh --minutes 30
#   tools/soak.sh --changes [--minutes 30]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=
changes=0
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes="$2"; shift 2 ;;
    --changes) changes=1; shift ;;
    *) echo "usage: tools/soak.sh [--changes] [--minutes N]" >&2; exit 2 ;;
  esac
done
tools/setup.sh
if [ "$changes" -eq 1 ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native --target orlinde
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target Velsora procstat displaymode
  exec /usr/bin/python3 tests/e2e/soak/soak_changes.py --linux-minutes "${minutes:-30}" --windows-minutes "${minutes:-30}" \
    --build-native build/native --build-windows build/windows \
    --prefix "$PWD/build/windows/soak-changes-prefix" --out out/soak-changes
fi
cmake --preset windows >/dev/null
cmake --build --preset windows --target Orlinde Velsora procstat dialogprobe
# Matplotlib is Debian's: the system interpreter, whatever python3 comes first on PATH.
exec /usr/bin/python3 tests/e2e/soak/soak_run.py --minutes "${minutes:-1}" --build build/windows \
  --prefix "$PWD/build/windows/soak-prefix" --out out/soak
