#!/usr/bin/env bash
# Measures the benchmarks for the interpreter work: instructions executed (callgrind, which is
# deterministic) and the median whole-process CPU time of RUNS runs, alternating with lua5.4 on
# the scripts that have a .lua twin.
#   bash bench/measure.sh OXEL [RUNS] [NAMES...]
set -euo pipefail
oxel=$1; runs=${2:-11}; shift 2 || true
dir=$(cd "$(dirname "$0")/../../shared/bench" 2>/dev/null && pwd || echo /work/shared/bench)
names=${*:-fib loops sieve strings structs switch}
cpu() { perf stat -x, -e task-clock "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ {printf "%.1f", $1}'; }
for name in $names; do
  script=$dir/$name.oxel.c
  ir=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$oxel" --on-error=cancel --trace=/dev/null "$script" 2>&1 |
       sed -n 's/.*Collected : \([0-9]*\).*/\1/p')
  o=(); l=()
  for _ in $(seq "$runs"); do
    o+=($(cpu "$oxel" --on-error=cancel --trace=/dev/null "$script"))
    [ -f "$dir/$name.lua" ] && l+=($(cpu lua5.4 "$dir/$name.lua"))
  done
  om=$(printf '%s\n' "${o[@]}" | sort -g | sed -n "$(( runs / 2 + 1 ))p")
  if [ ${#l[@]} -gt 0 ]; then
    lm=$(printf '%s\n' "${l[@]}" | sort -g | sed -n "$(( runs / 2 + 1 ))p")
    printf '%-8s %6dM  cpu %7.1f ms  lua %7.1f ms  ratio %.2f\n' "$name" $(( ir / 1000000 )) "$om" "$lm" "$(echo "$om / $lm" | bc -l)"
  else
    printf '%-8s %6dM  cpu %7.1f ms\n' "$name" $(( ir / 1000000 )) "$om"
  fi
done
