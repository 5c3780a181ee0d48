#!/usr/bin/env bash
# Times brimmark-cli's list and search with its cache of the rows cold (no
# cache file: every file read, the cache written) and warm (the cache
# there), against `grep -rc` over the same tree in the same run, with the
# peak memory per row and the size of the cache on disk, and checks that the
# warm output is the output of --no-cache. The disk's own cache is warm
# throughout. Each command's runs alternate with grep's, and its ratio is the
# median of the ratios of each pair, which a busy machine disturbs least.
#   bench/cache.sh [SIZES="10000 100000"] [RUNS=5]
# Each size has one folder per 50 favorites; trees are made once under
# $BENCH_DIR (default /tmp/brimmark-bench). BRIMMARK_CLI names another
# brimmark-cli to time (one without a cache is timed "cold" only).
# BENCH_CPUS runs every command timed, grep's too, on those processors only
# (taskset's list: BENCH_CPUS=0 for one).
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=${1:-"10000 100000"}
runs=${2:-5}
cli=${BRIMMARK_CLI:-build/cli/brimmark-cli}
[ -n "${BRIMMARK_CLI:-}" ] || scripts/build brimmark-cli >/dev/null
scripts/build brimmark-gen-tree >/dev/null
cacheHome=$(mktemp -d)
trap 'rm -rf "$cacheHome"' EXIT
export XDG_CACHE_HOME=$cacheHome
hasCache=0
"$cli" --help | grep -q -- --no-cache && hasCache=1

# Median wall time in milliseconds of "$@" over $runs runs; $before runs
# before each (not timed).
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    eval "$before"
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}
# Prints "MS RATIO": the median wall time of "$@" over $runs runs, each
# right after a timed run of grep (not part of $before), and the median of
# the pairs' ratios.
paired_ms() {
  local pairs=()
  for _ in $(seq "$runs"); do
    local start mid end
    start=$(date +%s%N)
    "${pin[@]}" grep -rc Words "$tree" >/dev/null 2>&1 || true
    mid=$(date +%s%N)
    eval "$before"
    local begin
    begin=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    pairs+=("$(((end - begin) / 1000000)) $(awk -v a=$((end - begin)) -v b=$((mid - start)) 'BEGIN { printf "%.2f", a / b }')")
  done
  local ms ratio
  ms=$(printf '%s\n' "${pairs[@]}" | awk '{ print $1 }' | sort -n | sed -n "$(((runs + 1) / 2))p")
  ratio=$(printf '%s\n' "${pairs[@]}" | awk '{ print $2 }' | sort -n | sed -n "$(((runs + 1) / 2))p")
  echo "$ms $ratio"
}
peak_kb() { eval "$before"; /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
pin=()
[ -n "${BENCH_CPUS:-}" ] && pin=(taskset -c "$BENCH_CPUS")

for files in $sizes; do
  folders=$((files / 50))
  tree="${BENCH_DIR:-/tmp/brimmark-bench}/tree-$files-$folders"
  if [ ! -d "$tree" ]; then
    build/bench/brimmark-gen-tree "$tree" "$files" "$folders" >/dev/null
    sleep 3 # files changed within two seconds are never taken from the cache
  fi
  ours=("${pin[@]}" "$cli" --favorites "$tree")
  grep -rc Words "$tree" >/dev/null || true # warms the disk's cache
  rows=$("${ours[@]}" --json list | grep -c '"name"' || true)
  before=:
  grep_ms=$(median_ms "${pin[@]}" grep -rc Words "$tree")
  echo "== $files favorites in $folders folders ($rows rows)${BENCH_CPUS:+ on processors $BENCH_CPUS}; grep -rc Words: $grep_ms ms (median of $runs)"
  printf '%-34s %8s %8s %10s %10s\n' "" "ms" "x grep" "peak KiB" "B/row"
  for verb in "--json list" "list" "search zzzz" "search --or --ignore-case needle"; do
    read -r -a args <<<"$verb"
    for state in cold warm; do
      [ $hasCache = 1 ] || [ $state = cold ] || continue
      if [ $state = cold ]; then before='rm -rf "$cacheHome"/brimmark'; else before=:; fi
      [ $state = warm ] && "${ours[@]}" "${args[@]}" >/dev/null # the cache made once
      read -r ms paired <<<"$(paired_ms "${ours[@]}" "${args[@]}")"
      kb=$(peak_kb "${ours[@]}" "${args[@]}")
      printf '%-34s %8s %8s %10s %10s\n' "$verb, $state" "$ms" "$paired" "$kb" \
        "$(awk -v k="$kb" -v r="$rows" 'BEGIN { printf "%.0f", (r > 0 ? k * 1024 / r : 0) }')"
    done
  done
  before=:
  if [ $hasCache = 1 ]; then
    "${ours[@]}" --json list >/dev/null
    for verb in "--json list" "list" "search --or --ignore-case needle"; do
      read -r -a args <<<"$verb"
      if cmp -s <("${ours[@]}" "${args[@]}") <("${ours[@]}" --no-cache "${args[@]}"); then
        echo "warm $verb: the same output as --no-cache"
      else
        echo "warm $verb: OUTPUT DIFFERS from --no-cache"
      fi
    done
    echo "cache on disk: $(du -k "$cacheHome"/brimmark/*.cache | awk '{ s += $1 } END { print s }') KiB" \
      "($(stat -c %s "$cacheHome"/brimmark/*.cache | awk -v r="$rows" '{ s += $1 } END { printf "%.0f", s / r }') B/row)"
  fi
done
