#!/usr/bin/env bash
# Times `brimmark-cli --json check` of HOSTS × PER_HOST favorites on web
# servers of its own on the loopback (ports on 127.0.0.1 and 127.0.0.2) that
# answer each request after DELAY_MS, against the least time the limits
# allow, with its peak memory; once with the default --jobs 16 and once with
# as many jobs as the per-host limit lets all the hosts have:
#   bench/linkcheck.sh [HOSTS=20] [PER_HOST=100] [DELAY_MS=200]
# The programs come from build/, built first, or from $BUILD_DIR as they are.
set -euo pipefail
cd "$(dirname "$0")/.."

hosts=${1:-20}
per=${2:-100}
delay=${3:-200}
build=${BUILD_DIR:-build}
[ -n "${BUILD_DIR:-}" ] || scripts/build brimmark-cli brimmark-bench-link-servers >/dev/null
work="${BENCH_DIR:-/tmp/brimmark-bench}/linkcheck"
rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
# The results are kept there, not in the real home; no proxy is asked.
export HOME="$work/home" XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/home/.config"
export no_proxy='*'
total=$((hosts * per))
per_host_limit=2

for jobs in 16 $((hosts * per_host_limit)); do
  fav="$work/Favorites"
  rm -rf "$fav" "$XDG_STATE_HOME" && mkdir -p "$fav"
  mkfifo "$work/in"
  "$build/bench/brimmark-bench-link-servers" "$fav" "$hosts" "$per" "$delay" \
    <"$work/in" >"$work/servers.log" &
  server=$!
  exec 3>"$work/in"
  for _ in $(seq 600); do
    grep -q ready "$work/servers.log" && break
    sleep 0.1
  done
  load=$(cut -d' ' -f1 /proc/loadavg)
  # wall seconds, user, system, peak KB
  line=$(/usr/bin/time -f '%e %U %S %M' "$build/cli/brimmark-cli" --favorites "$fav" --json \
    check --jobs "$jobs" --per-host "$per_host_limit" 2>&1 >"$work/out.json" | tail -n 1) || true
  exec 3>&-
  wait "$server"
  rm -f "$work/in"
  read -r wall user sys kb <<<"$line"
  ok=$(grep -o '"status":"ok"' "$work/out.json" | wc -l)
  # Each host's requests go per_host_limit at a time, and jobs at a time in all.
  slots=$((jobs < hosts * per_host_limit ? jobs : hosts * per_host_limit))
  least=$(awk -v n="$total" -v d="$delay" -v s="$slots" 'BEGIN { printf "%.1f", n * d / 1000 / s }')
  echo "$total favorites on $hosts hosts, ${delay} ms each, --per-host $per_host_limit --jobs $jobs:" \
    "${wall} s (least the limits allow ${least} s), user ${user} s, system ${sys} s," \
    "peak $((kb / 1024)) MB, $ok ok, load $load; $(tail -n 1 "$work/servers.log")"
  [ "$ok" -eq "$total" ] || echo "  not all ok: see the statuses above" >&2
done
