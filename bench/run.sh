#!/usr/bin/env bash
# Runs every benchmark of this folder: bench/run.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
status=0
for bench in "$here"/*.sh; do
  [ "$(basename "$bench")" = run.sh ] && continue
  echo "== $(basename "$bench" .sh)"
  "$bench" "${1:-build}" || status=1
done
exit $status
