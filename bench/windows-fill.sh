#!/usr/bin/env bash
# Times the Windows window's fills under Wine over a synthetic Favorites tree
# (brimmark-gen-tree), in a virtual display and a Wine prefix of its own:
#   bench/windows-fill.sh [FILES=100000] [FOLDERS=2000] [RUNS=5]
# Prints, for start-up, the full list, a search and the folder list, when the
# command came back, the first row and the whole list (medians, ms), then the
# core walk alone and, for comparison, the Linux `brimmark-cli list`.
# The tree is made once under $BENCH_DIR (default /tmp/brimmark-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-100000}
folders=${2:-2000}
runs=${3:-5}
. scripts/windows-common

scripts/build brimmark-gen-tree brimmark-cli >/dev/null
windows_build >/dev/null
tree="${BENCH_DIR:-/tmp/brimmark-bench}/tree-$files-$folders"
[ -d "$tree" ] || build/bench/brimmark-gen-tree "$tree" "$files" "$folders"

wine_scratch_prefix
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wine_scratch_cleanup' EXIT
exec 3>&-
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"
# Wine's desktop, made without a display with the prefix, makes no windows
# in this one: a new server makes it again here.
wineserver -k
wineserver -w
wineserver -p

# The tree is read through Wine's Z: drive, as a Windows program sees it.
"$wine" build-windows/win/brimmark-bench-fill-win.exe "Z:${tree//\//\\}" "$runs" </dev/null

times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  build/cli/brimmark-cli --favorites "$tree" list >/dev/null
  times+=($((($(date +%s%N) - start) / 1000000)))
done
printf '%-22s %6d ms (Linux, median)\n' "brimmark-cli list" \
  "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p")"
