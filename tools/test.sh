#!/usr/bin/env bash
# Builds everything and runs every test: native unit and offscreen render tests, the same under
# ASan + UBSan with a short fuzzing run, then the Windows build with its Wine test programs and the
# end-to-end tests. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

log=$(mktemp)
trap 'rm -f "$log"' EXIT
for preset in native asan windows; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" 2>&1 | tee -a "$log"
done

# One closing line over all three runs.
passed=0
failed=0
while read -r p f; do
  passed=$((passed + p))
  failed=$((failed + f))
done < <(sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests failed out of ([0-9]+)$/\2 \1/p' "$log" |
         awk '{print $1 - $2, $2}')
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
