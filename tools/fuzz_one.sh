#!/usr/bin/env bash
# Runs one libFuzzer target with its scratch corpus folder created first: fuzz_one.sh FUZZER SCRATCH [ARGS...]
set -euo pipefail
fuzzer="$1"
mkdir -p "$2"
shift 2
exec "$fuzzer" "$@"
