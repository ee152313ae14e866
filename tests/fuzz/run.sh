#!/usr/bin/env bash
# Fuzzes oxel with AFL++ under AddressSanitizer and UndefinedBehaviorSanitizer: each input is a
# script read, checked and run with every error answered Continue; the seeds are the script tests.
#   bash tests/fuzz/run.sh [SECONDS]   build, then fuzz (default: until Ctrl-C; a run resumes)
#   bash tests/fuzz/run.sh triage      the first report of each crash, and the hangs that
#                                      reading and checking alone show
# FUZZ_DIR (default build-fuzz), FUZZ_TIMEOUT_MS (default 500 per input: endless loops end as
# hangs). As root the fuzzer runs as nobody in a scratch folder: the scripts call remove, rename,
# mkdir and fopen with whatever names the mutations make.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD dir=${FUZZ_DIR:-build-fuzz}
out=$dir/afl/out work=$dir/afl/work
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0
unset OXEL_HOST
if [ "${1:-}" = triage ]; then
  cd "$work"
  for f in "$root/$out"/default/crashes/id:*; do
    [ -e "$f" ] && echo "== crash $(basename "$f")" && { timeout 10 "$root/$dir/oxel" --on-error=continue "$f" 2>&1 |
      grep -m1 -E 'runtime error|ERROR: AddressSanitizer|SEGV' || true; }
  done
  for f in "$root/$out"/default/hangs/id:*; do
    [ -e "$f" ] && { timeout 5 "$root/$dir/oxel" --check --on-error=continue "$f" >/dev/null 2>&1 || [ $? != 124 ] ||
      echo "== hang while reading or checking: $(basename "$f")"; }
  done
  exit 0
fi
command -v afl-fuzz >/dev/null || { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq afl++ </dev/null; }
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DOXEL_FUZZ=ON -DCMAKE_CXX_COMPILER=afl-clang-fast++ >/dev/null
nice -n 10 cmake --build "$dir" -j2 --target oxel
rm -rf "$dir/afl/seeds" && mkdir -p "$dir/afl/seeds" "$out" "$work"
find tests/scripts -name '*.c' -size -16k | while read -r f; do cp "$f" "$dir/afl/seeds/$(echo "${f#tests/scripts/}" | tr / _)"; done
# The tokens of the script language, for AFL++'s -x.
printf '"%s"\n' int char short long unsigned signed float double void static extern typedef struct union enum if \
  else while for switch case default break return goto sizeof 'main()' '#define ' '#include ' @list run -\> '<<' \
  '>>' '<=' '>=' == != ++ -- '/*' '*/' 0x "'\\\\n'" 1.5e3 2147483647 'malloc(' 'strcpy(' 'sprintf(' '%s' '%d' \
  >"$dir/afl/oxel.dict"
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$dir/afl"
run=() && [ "$(id -u)" = 0 ] && run=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
input=$root/$dir/afl/seeds && [ -d "$out/default/queue" ] && input=-
cd "$work"
export AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1
"${run[@]}" nice -n 10 afl-fuzz -i "$input" -o "$root/$out" -m none -t "${FUZZ_TIMEOUT_MS:-500}" \
  -x "$root/$dir/afl/oxel.dict" ${1:+-V "$1"} -- "$root/$dir/oxel" --on-error=continue @@
