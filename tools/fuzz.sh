#!/usr/bin/env bash
# Runs every libFuzzer target (ASan + UBSan, the asan preset) for a long while, one after the other, each
# from its seed corpus plus what earlier long runs found (kept in out/fuzz/corpus/<target>), and prints per
# target: executions, coverage (cov: edges, ft: features, from libFuzzer's final stats), corpus size and
# crashes. The table also goes to out/fuzz/fuzz.md; crashing inputs to out/fuzz/<target>-crash-*.
#
#   tools/fuzz.sh --minutes 5                    # each target for 5 minutes
#   tools/fuzz.sh --minutes 10 --runs 12000000   # ... or until 12 million executions, whichever is first
#   tools/fuzz.sh --minutes 1 --targets "settings music"
#   tools/fuzz.sh --minutes 22 --fork 2 --targets button   # two processes on one corpus, for 22 minutes
#
# With --fork N the target runs in libFuzzer's fork mode: N processes share the corpus, which suits the slow
# targets on a machine with N cores. Only --minutes bounds such a run. Its executions are the total of all
# processes; its coverage and corpus figures come from one process reading the final corpus, since the
# fork mode's own figures also count the fuzzer's code.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=5
runs=-1
fork=0
targets="bitmap settings commandline music dialog button options"
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --fork) fork="$2"; shift 2 ;;
    --targets) targets="$2"; shift 2 ;;
    *) echo "usage: tools/fuzz.sh [--minutes N] [--runs N] [--fork N] [--targets \"a b\"]" >&2; exit 2 ;;
  esac
done
tools/setup.sh
cmake --preset asan >/dev/null
cmake --build --preset asan --target $(for t in $targets; do printf '%s_fuzzer ' "$t"; done)

# The longest input each target takes: a bitmap needs room for pixels; the other inputs are texts and scripts
# of replies, which reach everything well below 1 KiB (longer ones only slow the search down).
max_len() {
  case "$1" in
    bitmap) echo 4096 ;;
    commandline | settings) echo 1024 ;;
    *) echo 512 ;;
  esac
}

out=out/fuzz
mkdir -p "$out"
table="$out/fuzz.md"
{
  echo "| target | executions | coverage (cov / ft) | corpus | crashes | date |"
  echo "|---|---|---|---|---|---|"
} > "$table"
failed=0
for t in $targets; do
  corpus="$out/corpus/$t"
  mkdir -p "$corpus"
  log="$out/$t.log"
  before=$(ls "$out" | grep -c "^$t-\(crash\|leak\|timeout\|oom\)-" || true)
  echo "=== $t: up to $minutes min ==="
  fuzzer="build/asan/tests/fuzz/${t}_fuzzer"
  if [ "$fork" -gt 0 ]; then limit=(-fork="$fork"); else limit=(-runs="$runs"); fi
  set +e
  ASAN_OPTIONS=detect_leaks=1 "$fuzzer" -max_total_time=$((minutes * 60)) "${limit[@]}" \
    -rss_limit_mb=2048 -max_len="$(max_len "$t")" -print_final_stats=1 -dict="tests/fuzz/dict/$t.dict" \
    -artifact_prefix="$out/$t-" "$corpus" "tests/fuzz/corpus/$t" > "$log" 2>&1
  set -e
  after=$(ls "$out" | grep -c "^$t-\(crash\|leak\|timeout\|oom\)-" || true)
  crashes=$((after - before))
  if [ "$fork" -gt 0 ]; then
    # Fork mode's progress lines read "#<total executions>: cov: ..."; the figures from one process.
    execs=$(sed -nE 's/^#([0-9]+): cov: .*/\1/p' "$log" | tail -1)
    last=$("$fuzzer" -runs=0 -max_len="$(max_len "$t")" "$corpus" "tests/fuzz/corpus/$t" 2>&1 | grep -E 'INITED' | tail -1)
  else
    execs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1)
  fi
  cov=$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<< "$last")
  ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<< "$last")
  corp=$(sed -nE 's/.* corp: ([0-9]+)\/.*/\1/p' <<< "$last")
  printf '%s: %s executions (processes: %s), cov %s, ft %s, corpus %s, crashes %s\n' "$t" "${execs:-?}" \
    "$((fork > 0 ? fork : 1))" "${cov:-?}" "${ft:-?}" "${corp:-?}" "$crashes"
  echo "| $t | ${execs:-?} | ${cov:-?} / ${ft:-?} | ${corp:-?} | $crashes | $(date +%F) |" >> "$table"
  [ "$crashes" -eq 0 ] || failed=1
done
cat "$table"
exit "$failed"
