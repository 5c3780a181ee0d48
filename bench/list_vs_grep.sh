#!/usr/bin/env bash
# Times `brimmark-cli list` against `grep -rc Words` over the same synthetic
# Favorites tree, both with a warm cache, and prints the ratio of the medians
# and the peak memory of each.
#   bench/list_vs_grep.sh [FILES=100000] [FOLDERS=2000] [RUNS=7]
# The tree is made once under $BENCH_DIR (default /tmp/brimmark-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

files=${1:-100000}
folders=${2:-2000}
runs=${3:-7}
scripts/build >/dev/null
tree="${BENCH_DIR:-/tmp/brimmark-bench}/tree-$files-$folders"
if [ ! -d "$tree" ]; then
  build/bench/brimmark-gen-tree "$tree" "$files" "$folders"
fi

# Median wall time in milliseconds of running "$@" $runs times.
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}

peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

list=(build/cli/brimmark-cli --favorites "$tree" --json list)
grep_=(grep -rc Words "$tree")
"${list[@]}" >/dev/null; "${grep_[@]}" >/dev/null || true   # warm the cache

rows=$("${list[@]}" | grep -c '"name"')
list_ms=$(median_ms "${list[@]}")
grep_ms=$(median_ms "${grep_[@]}")
echo "tree:            $tree ($rows favorites)"
echo "brimmark-cli:    ${list_ms} ms median of $runs, peak $(peak_kb "${list[@]}") KiB"
echo "grep -rc Words:  ${grep_ms} ms median of $runs, peak $(peak_kb "${grep_[@]}") KiB"
awk -v a="$list_ms" -v b="$grep_ms" 'BEGIN { printf "ratio:           %.2f x grep\n", (b > 0 ? a / b : 0) }'
