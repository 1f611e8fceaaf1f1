#!/usr/bin/env bash
# Builds everything and runs every test: native unit and offscreen render tests, the same under
# ASan + UBSan with a short fuzzing run, then the Windows build with its Wine test programs and the
# end-to-end tests, then the web page built by Emscripten and tested in headless chromium. Installs what
# is missing first. Every preset runs even when an earlier one fails, and says how long it took; the
# closing line counts the tests of all four (a preset that does not configure or build counts as one
# failure) and the exit status is non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh || exit 1

log=$(mktemp)
run=$(mktemp)
trap 'rm -f "$log" "$run"' EXIT
broken=0
timings=()
took() { timings+=("$1 $((SECONDS - started)) s"); }
for preset in native asan windows web; do
  echo "=== $preset ==="
  started=$SECONDS
  if ! cmake --preset "$preset" >/dev/null; then
    echo "$preset: configure failed"
    broken=$((broken + 1))
    took "$preset"
    continue
  fi
  if ! cmake --build --preset "$preset"; then
    echo "$preset: build failed"
    broken=$((broken + 1))
    took "$preset"
    continue
  fi
  ctest --preset "$preset" 2>&1 | tee "$run"
  status=${PIPESTATUS[0]}
  cat "$run" >>"$log"
  took "$preset"
  # A run that fails without a failing test in its summary (no tests found, ctest itself broken) counts too.
  if [ "$status" -ne 0 ] && ! grep -qE '^[0-9]+% tests passed, [1-9][0-9]* tests failed' "$run"; then
    echo "$preset: ctest failed (status $status) without a failing test"
    broken=$((broken + 1))
  fi
done

# How long each preset took (configure, build and tests), then one closing line over all of them.
for timing in "${timings[@]}"; do echo "time: $timing"; done
passed=0
failed=$broken
while read -r p f; do
  passed=$((passed + p))
  failed=$((failed + f))
done < <(sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests failed out of ([0-9]+)$/\2 \1/p' "$log" |
         awk '{print $1 - $2, $2}')
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
