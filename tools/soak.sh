#!/usr/bin/env bash
# Soak run: the real screen saver (/s, rain at its fastest rate) and the settings dialog (/c, about panel
# animating, pointer crossing the buttons) under Wine side by side, for a two-minute warm-up and then N
# minutes, sampling handles, threads and memory from inside Wine. Writes out/soak/soak.csv, out/soak/soak.png
# and end-of-run screenshots; fails when a series grows after the warm-up.
#
#   tools/soak.sh --minutes 30
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=1
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes="$2"; shift 2 ;;
    *) echo "usage: tools/soak.sh [--minutes N]" >&2; exit 2 ;;
  esac
done
tools/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Orlinde Velsora procstat dialogprobe
# Matplotlib is Debian's: the system interpreter, whatever python3 comes first on PATH.
exec /usr/bin/python3 tests/e2e/soak/soak_run.py --minutes "$minutes" --build build/windows \
  --prefix "$PWD/build/windows/soak-prefix" --out out/soak
