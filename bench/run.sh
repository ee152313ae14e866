#!/usr/bin/env bash
# Builds the optimised oxel and times the benchmark scripts: each runs RUNS times (default 7) as a
# whole process; the line shows the value it printed, whether that is the expected one, and the
# median and fastest wall times in milliseconds.
#   bash bench/run.sh [BENCH_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-../shared/bench}
runs=${2:-7}
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target oxel >/dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
declare -A expected=([fib]=370944 [loops]=28958 [sieve]=45120 [strings]=1033330 [structs]=708720 [switch]=479664)
for script in "$dir"/*.oxel.c; do
  name=$(basename "$script" .oxel.c)
  times=()
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    build/oxel --on-error=cancel --trace="$out" "$script"
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  sorted=($(printf '%s\n' "${times[@]}" | sort -n))
  value=$(tr -d '\r\n' <"$out")
  check=ok
  [ -n "${expected[$name]:-}" ] && [ "$value" != "${expected[$name]}" ] && check="WRONG (expected ${expected[$name]})"
  printf '%-8s value %-8s %-4s median %4d ms  fastest %4d ms\n' "$name" "$value" "$check" \
    "${sorted[$(( runs / 2 ))]}" "${sorted[0]}"
done
