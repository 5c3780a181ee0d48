#!/usr/bin/env bash
# Times brimmark-cli against grep over the same synthetic Favorites tree, all
# with a warm cache, and prints the ratio of the medians and the peak memory:
#   list:    `brimmark-cli list` against `grep -rc Words`
#   search:  `brimmark-cli search` of one keyword in all four fields, folding
#            case (about 1% of the favorites match) against `grep -rli`
#   bench/vs_grep.sh [FILES=100000] [FOLDERS=2000] [RUNS=7]
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

# compare NAME "brimmark-cli args" "grep args": one report of both commands.
compare() {
  local name=$1
  local -a ours theirs
  read -r -a ours <<<"$2"
  read -r -a theirs <<<"$3"
  ours=(build/cli/brimmark-cli --favorites "$tree" --json "${ours[@]}")
  theirs=(grep "${theirs[@]}" "$tree")
  "${ours[@]}" >/dev/null; "${theirs[@]}" >/dev/null || true   # warm the cache
  local rows ours_ms theirs_ms
  rows=$("${ours[@]}" | grep -c '"name"' || true)
  ours_ms=$(median_ms "${ours[@]}")
  theirs_ms=$(median_ms "${theirs[@]}")
  echo "== $name: $rows rows"
  echo "brimmark-cli $2: ${ours_ms} ms median of $runs, peak $(peak_kb "${ours[@]}") KiB"
  echo "grep $3: ${theirs_ms} ms median of $runs, peak $(peak_kb "${theirs[@]}") KiB"
  awk -v a="$ours_ms" -v b="$theirs_ms" 'BEGIN { printf "ratio: %.2f x grep\n", (b > 0 ? a / b : 0) }'
}

echo "tree: $tree"
compare list "list" "-rc Words"
compare search "search --or --fields folder,name,url,comment --ignore-case needle" "-rli needle"
