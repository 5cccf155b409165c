#!/usr/bin/env bash
# Copy throughput of `koralctl copy` against `cp -r` followed by `sync` of the
# destination, on the same data, to the same file system, the final sync
# counted for both. Three cases: large files, ~2,000 small files, a playlist
# folder. Prints the ratio (cp time / koralctl time: 1.0 = as fast as cp).
#   bench/copy.sh [BUILD_DIR]     KORAL_BENCH_ROUNDS=N (default 5)
set -euo pipefail

build_dir="$(cd "${1:-build}" && pwd)"
koralctl="$build_dir/bin/koralctl"
rounds="${KORAL_BENCH_ROUNDS:-5}"
[ -x "$koralctl" ] || { echo "koralctl not built: $koralctl" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/koral-bench-copy.XXXXXX")"
trap 'rm -rf "$work"' EXIT
data="$work/data"
player="$work/player"

make_data() {
  mkdir -p "$data/large" "$data/small" "$data/playlist"
  head -c $((48 * 1024 * 1024)) /dev/urandom > "$work/blob"
  for i in 1 2 3 4; do cp "$work/blob" "$data/large/track$i.bin"; done
  for i in $(seq 1 2000); do
    head -c $((4096 + (i * 7919) % 36864)) "$work/blob" > "$data/small/file$i.mp3"
  done
  echo "#EXTM3U" > "$data/playlist/album.m3u"
  for i in $(seq 1 30); do
    head -c $((2 * 1024 * 1024 + i * 1000)) "$work/blob" > "$data/playlist/song$i.mp3"
    printf '#EXTINF:%d,Song %d\nsong%d.mp3\n' "$i" "$i" "$i" >> "$data/playlist/album.m3u"
  done
  rm "$work/blob"
  sync
}

now() { date +%s.%N; }

fresh_player() {
  rm -rf "$player"
  mkdir -p "$player"
  sync
}

time_cp() {
  fresh_player
  local start end
  start=$(now)
  cp -r "$1" "$player/" && sync -f "$player"
  end=$(now)
  echo "$end - $start" | bc -l
}

time_koralctl() {
  local source="$1"; shift
  fresh_player
  local start end
  start=$(now)
  "$koralctl" --player "$player" copy "$@" "$source"
  end=$(now)
  echo "$end - $start" | bc -l
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

run_case() {
  local name="$1" source="$2"; shift 2
  local cp_times="" k_times="" i
  for i in $(seq 1 "$rounds"); do
    cp_times+="$(time_cp "$source")"$'\n'
    k_times+="$(time_koralctl "$source" "$@")"$'\n'
  done
  local cp_median k_median bytes
  cp_median=$(printf '%s' "$cp_times" | median)
  k_median=$(printf '%s' "$k_times" | median)
  bytes=$(du -sb "$source" | cut -f1)
  printf '%-9s %7.1f MiB   cp+sync %6.3f s   koralctl %6.3f s   ratio %.2f\n' "$name" \
    "$(echo "$bytes / 1048576" | bc -l)" "$cp_median" "$k_median" "$(echo "$cp_median / $k_median" | bc -l)"
}

# The time from the last progress report to the end of the copy.
run_latency() {
  local probe="$work/copy_latency" source_dir
  source_dir="$(cd "$(dirname "$0")/.." && pwd)"
  if ! c++ -std=c++20 -O2 -I "$source_dir/src/core" "$source_dir/bench/copy_latency.cpp" \
      "$build_dir/src/core/libkoral_core.a" -pthread -o "$probe" 2>/dev/null; then
    echo "latency   (probe not built)"
    return
  fi
  fresh_player
  printf 'latency   large files: %s\n' "$("$probe" "$data/large" "$player")"
  fresh_player
  printf 'latency   small files: %s\n' "$("$probe" "$data/small" "$player")"
}

make_data
echo "destination: $(df -T "$work" | awk 'NR == 2 { print $2 }') under $work; median of $rounds rounds"
run_case large "$data/large"
run_case small "$data/small"
run_case playlist "$data/playlist" --playlist
run_latency
