#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks and runs every one of them: the compiled ones of
# bench/*/ and the executable scripts bench/*.sh and bench/*.py (the others are modules
# they share). Each prints its figures and fails when it misses its bar.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source_dir=$(cd "$here/.." && pwd)
build_dir=${1:-build}
generator=()
[ -f "$build_dir/CMakeCache.txt" ] || { command -v ninja >/dev/null && generator=(-G Ninja); }
cmake -S "$source_dir" -B "$build_dir" "${generator[@]}" -DKORAL_BUILD_BENCH=ON >/dev/null
cmake --build "$build_dir" --target koral_bench koralctl
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0
for bench in "$build_dir"/bench/bin/*; do
  [ -x "$bench" ] && [ -f "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" || status=1
done
for bench in "$here"/*.sh "$here"/*.py; do
  [ "$(basename "$bench")" = run.sh ] || [ ! -x "$bench" ] && continue
  echo "== $(basename "$bench")"
  "$bench" "$build_dir" || status=1
done
exit $status
