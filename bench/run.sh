#!/usr/bin/env bash
# Builds the benchmarks and runs every one of them; each prints its figures
# and fails when it misses its bar.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-build}
generator=()
[ -f "$build_dir/CMakeCache.txt" ] || { command -v ninja >/dev/null && generator=(-G Ninja); }
cmake -S "$source_dir" -B "$build_dir" "${generator[@]}" -DKORAL_BUILD_BENCH=ON >/dev/null
cmake --build "$build_dir" --target koral_bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0
for bench in "$build_dir"/bench/bin/*; do
  [ -x "$bench" ] && [ -f "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" || status=1
done
exit $status
