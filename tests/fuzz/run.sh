#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target of a `make fuzz` build for a few seconds each, from
# the seeds kept in tests/fuzz/corpus. Inputs found on the way go to the
# build folder, never to the seeds; a crash leaves its input there too.
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
seconds="${2:-20}"
seeds="$(cd "$(dirname "$0")/corpus" && pwd)"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

status=0
for fuzzer in "$build"/fuzz/*Fuzzer; do
  name="$(basename "$fuzzer")"
  work="$build/fuzz-work/$name"
  mkdir -p "$work/corpus" "$work/artifacts"
  echo "== $name (${seconds} s)"
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds/$name" > "$work/log" 2>&1; then
    grep -E "^stat::number_of_executed_units" "$work/log" || true
  else
    status=1
    tail -40 "$work/log"
    echo "$name a échoué : l'entrée fautive est dans $work/artifacts" >&2
  fi
done
exit $status
