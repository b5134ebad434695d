#!/usr/bin/env bash
# Runs every benchmark through `velmora-cli run` and through Debian's Python several times,
# checks each output against NAME.expected, and prints the median times and the ratio
# velmora/python per benchmark.
#
#   bench/run.sh [BUILD_DIR] [RUNS]        (defaults: build, 3)
#   BENCH_TIMEOUT=SECONDS                  gives up on one run after that long (default 600)
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
runs=${2:-3}
limit=${BENCH_TIMEOUT:-600}
cli="$build/velmora-cli"
python=/usr/bin/python3

if [ ! -x "$cli" ]; then
  echo "bench/run.sh: $cli not found; build the target velmora-cli first" >&2
  exit 2
fi

# Prints the seconds one run took, or "timeout" / "wrong" (output differs from the expected).
time_one() {
  local expected=$1; shift
  local out start end status
  out=$(mktemp)
  start=$EPOCHREALTIME
  timeout "$limit" "$@" >"$out" 2>/dev/null
  status=$?
  end=$EPOCHREALTIME
  if [ $status -eq 124 ]; then
    echo timeout
  elif [ $status -ne 0 ] || ! cmp -s "$out" "$expected"; then
    echo wrong
  else
    echo "$start $end" | awk '{ printf "%.3f\n", $2 - $1 }'
  fi
  rm -f "$out"
}

# Median of the numbers on stdin, or the first failure word when any run failed.
median() {
  awk '
    /^[a-z]/ { failed = $0 }
    /^[0-9]/ { v[n++] = $0 + 0 }
    END {
      if (failed != "") { print failed; exit }
      for (i = 0; i < n; i++) for (j = i + 1; j < n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
      if (n % 2) printf "%.3f\n", v[int(n / 2)]; else printf "%.3f\n", (v[n / 2 - 1] + v[n / 2]) / 2
    }'
}

printf '%-14s %12s %12s %10s\n' benchmark "velmora [s]" "python [s]" ratio
for vlm in "$here"/*.vlm; do
  name=$(basename "$vlm" .vlm)
  expected="$here/$name.expected"
  v=$(for _ in $(seq "$runs"); do time_one "$expected" "$cli" run "$vlm"; done | median)
  p=$(for _ in $(seq "$runs"); do time_one "$expected" "$python" "$here/$name.py"; done | median)
  ratio=$(awk -v v="$v" -v p="$p" 'BEGIN { if (v ~ /^[0-9]/ && p ~ /^[0-9]/ && p > 0) printf "%.1f", v / p; else print "-" }')
  printf '%-14s %12s %12s %10s\n' "$name" "$v" "$p" "$ratio"
done
