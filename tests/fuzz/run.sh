#!/usr/bin/env bash
# Fuzzes oxel with AFL++: each input is a script that oxel reads, checks and runs with every error
# answered Continue, in a process of its own (the forkserver), under AddressSanitizer and
# UndefinedBehaviorSanitizer. The seeds are the script tests.
#
#   bash tests/fuzz/run.sh [SECONDS]   build, then fuzz for SECONDS (default: until Ctrl-C)
#   bash tests/fuzz/run.sh triage      replay the findings: the first report of each crash, and
#                                      for each hang whether reading and checking alone hang too
#
# Environment: FUZZ_DIR (default build-fuzz), FUZZ_TIMEOUT_MS (default 500, per input; scripts
# that loop forever are expected and end as hangs), FUZZ_NICE (default 10).
# As root, the fuzzer runs as the user nobody: the scripts call remove, rename, mkdir and fopen
# with whatever names the mutations make, so they run in a scratch folder with nobody's rights.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
dir=${FUZZ_DIR:-build-fuzz}
timeout_ms=${FUZZ_TIMEOUT_MS:-500}
out=$dir/afl/out
work=$dir/afl/work

export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0
unset OXEL_HOST

as_fuzz_user() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
  else
    "$@"
  fi
}

if [ "${1:-}" = triage ]; then
  export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  oxel=$root/$dir/oxel
  cd "$work"
  for f in "$root/$out"/default/crashes/id:*; do
    [ -e "$f" ] || continue
    echo "== crash $(basename "$f")"
    timeout 10 "$oxel" --on-error=continue "$f" 2>&1 | grep -m1 -E 'runtime error|ERROR: AddressSanitizer|SEGV' || true
  done
  for f in "$root/$out"/default/hangs/id:*; do
    [ -e "$f" ] || continue
    rc=0
    timeout 5 "$oxel" --check --on-error=continue "$f" >/dev/null 2>&1 || rc=$?
    if [ "$rc" = 124 ]; then echo "== hang while reading or checking: $(basename "$f")"; fi
  done
  exit 0
fi

command -v afl-fuzz >/dev/null || {
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq afl++ </dev/null
}

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DOXEL_FUZZ=ON -DCMAKE_CXX_COMPILER=afl-clang-fast++ >/dev/null
nice -n "${FUZZ_NICE:-10}" cmake --build "$dir" -j2 --target oxel

seeds=$dir/afl/seeds
rm -rf "$seeds" && mkdir -p "$seeds" "$out" "$work"
find tests/scripts -name '*.c' -size -16k | sort | while read -r f; do
  cp "$f" "$seeds/$(echo "${f#tests/scripts/}" | tr / _)"
done
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$dir/afl"

# An earlier run's findings are kept: '-i -' resumes it.
input=$root/$seeds
[ -d "$out/default/queue" ] && input=-
cd "$work"
export AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1
limit=()
[ -n "${1:-}" ] && limit=(-V "$1")
as_fuzz_user nice -n "${FUZZ_NICE:-10}" afl-fuzz -i "$input" -o "$root/$out" -m none \
  -t "$timeout_ms" -x "$root/tests/fuzz/oxel.dict" "${limit[@]}" \
  -- "$root/$dir/oxel" --on-error=continue @@
