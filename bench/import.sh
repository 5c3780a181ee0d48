#!/usr/bin/env bash
# Times `brimmark-cli import` of many bookmarks from each kind of store into
# an empty Favorites folder, and prints the best wall time, user and system
# time and peak memory of RUNS runs, with the load of the machine meanwhile:
#   bench/import.sh [BOOKMARKS=100000] [PER_FOLDER=50] [RUNS=3]
# The stores are made once under $BENCH_DIR (default /tmp/brimmark-bench);
# the Favorites folders it fills there are removed after each run. The
# programs come from build/, built first, or from $BUILD_DIR as they are.
set -euo pipefail
cd "$(dirname "$0")/.."

total=${1:-100000}
per=${2:-50}
runs=${3:-3}
build=${BUILD_DIR:-build}
[ -n "${BUILD_DIR:-}" ] || scripts/build brimmark-cli brimmark-bench-import >/dev/null
work="${BENCH_DIR:-/tmp/brimmark-bench}/import-$total-$per"
[ -f "$work/places.sqlite" ] || "$build/bench/brimmark-bench-import" "$work" "$total" "$per"
cli=$build/cli/brimmark-cli
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"

for source in chromium netscape firefox; do
  case $source in
    chromium) store="$work/Bookmarks" ;;
    netscape) store="$work/bookmarks.html" ;;
    firefox) store="$work/places.sqlite" ;;
  esac
  best=""
  for _ in $(seq "$runs"); do
    fav="$work/Favorites"
    rm -rf "$fav" && mkdir -p "$fav"
    load=$(cut -d' ' -f1 /proc/loadavg)
    # wall seconds, user, system, peak KB
    line=$(/usr/bin/time -f '%e %U %S %M' "$cli" --favorites "$fav" --json import "$source" \
      "$store" --into x 2>&1 >"$work/out.json" | tail -n 1)
    grep -q "\"imported\":$total," "$work/out.json" || {
      echo "$source: not all imported" >&2
      head -c 300 "$work/out.json" >&2
      exit 1
    }
    read -r wall user sys kb <<<"$line"
    echo "  $source run: ${wall} s (user $user s, system $sys s), peak ${kb} KB, load $load"
    if [ -z "$best" ] || awk "BEGIN{exit !($wall < ${best%% *})}"; then
      best="$wall $user $sys $kb"
    fi
  done
  rm -rf "$work/Favorites"
  read -r wall user sys kb <<<"$best"
  printf '%-8s %d bookmarks: best %s s (user %s s, system %s s), peak memory %d MB\n' \
    "$source" "$total" "$wall" "$user" "$sys" $((kb / 1024))
done
