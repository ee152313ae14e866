#!/usr/bin/env bash
# Fuzzes with AFL++ under AddressSanitizer and UndefinedBehaviorSanitizer, one of four entries:
#   oxel (the default)  each input is a script read, checked and run with every error answered
#                       Continue; the seeds are the script tests
#   differential        the same scripts, each run twice (compiled bodies, and the walker alone:
#                       OXEL_NO_PLANS=1); any difference of output or status is a crash
#                       (differential.cpp)
#   receive             each input is what a remote sends to a session of the host library
#                       (host_receive.cpp); the seeds are tests/fuzz/receive/
#   files               each input is a phonebook or answers file (host_files.cpp); the seeds are
#                       tests/fuzz/files/ and the INI files of the examples and tests
#   bash tests/fuzz/run.sh [differential|receive|files] [SECONDS]   build, then fuzz (default:
#                                                       until Ctrl-C; a run resumes)
#   bash tests/fuzz/run.sh [differential|receive|files] triage   the first report of each crash, and the
#                                                       hangs (of scripts: those that reading and
#                                                       checking alone show)
# FUZZ_DIR (default build-fuzz), FUZZ_TIMEOUT_MS (default 500 per input, 2000 for receive: endless
# loops end as hangs). As root the fuzzer runs as nobody in a scratch folder: the scripts call remove, rename,
# mkdir and fopen with whatever names the mutations make.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD dir=${FUZZ_DIR:-build-fuzz} entry=oxel
case "${1:-}" in differential | receive | files) entry=$1 && shift ;; esac
# The host library's entries take their inputs in shared memory (persistent mode), the file only in triage.
program=$root/$dir/oxel args=(--on-error=continue) file=@@
[ "$entry" != oxel ] && program=$root/$dir/tests/fuzz/fuzz_$entry args=() file=
[ "$entry" = differential ] && program=$root/$dir/fuzz_differential args=() file=@@
out=$dir/afl-$entry/out work=$dir/afl-$entry/work seeds=$dir/afl-$entry/seeds
[ "$entry" = oxel ] && out=$dir/afl/out work=$dir/afl/work seeds=$dir/afl/seeds  # where earlier runs left theirs
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0
unset OXEL_HOST
if [ "${1:-}" = triage ]; then
  cd "$work"
  for f in "$root/$out"/default/crashes/id:*; do
    [ -e "$f" ] && echo "== crash $(basename "$f")" && { timeout 10 "$program" "${args[@]}" "$f" 2>&1 |
      grep -m1 -E 'runtime error|ERROR: AddressSanitizer|SEGV|fuzz_' || true; }
  done
  for f in "$root/$out"/default/hangs/id:*; do
    [ -e "$f" ] || continue
    [ "$entry" = receive ] || [ "$entry" = files ] && echo "== hang $(basename "$f")" && continue
    { timeout 5 "$root/$dir/oxel" --check --on-error=continue "$f" >/dev/null 2>&1 || [ $? != 124 ] ||
      echo "== hang while reading or checking: $(basename "$f")"; }
  done
  exit 0
fi
command -v afl-fuzz >/dev/null || { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq afl++ </dev/null; }
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DOXEL_FUZZ=ON -DCMAKE_CXX_COMPILER=afl-clang-fast++ >/dev/null
nice -n 10 cmake --build "$dir" -j2 --target "$(basename "$program")" $([ "$entry" = differential ] && echo oxel)
rm -rf "$seeds" && mkdir -p "$seeds" "$out" "$work"
seed() { while read -r f; do cp "$f" "$seeds/$(echo "$f" | tr / _)"; done; }
case $entry in
oxel | differential)
  find tests/scripts -name '*.c' -size -16k | seed
  # The tokens of the script language, for AFL++'s -x.
  printf '"%s"\n' int char short long unsigned signed float double void static extern typedef struct union enum \
    if else while for switch case default break return goto sizeof 'main()' '#define ' '#include ' @list run -\> \
    '<<' '>>' '<=' '>=' == != ++ -- '/*' '*/' 0x "'\\\\n'" 1.5e3 2147483647 'malloc(' 'strcpy(' 'sprintf(' '%s' '%d' ;;
receive)
  find tests/fuzz/receive -type f | seed
  # Telnet commands and options, escape sequences, the patterns the entry waits for.
  printf '"%s"\n' '\xff\xff' '\xff\xfb\x00' '\xff\xfc\x00' '\xff\xfd\x00' '\xff\xfe\x00' '\xff\xfd\x01' '\xff\xfb\x01' \
    '\xff\xfd\x18' '\xff\xfd\x1f' '\xff\xfd\x03' '\xff\xfa\x18\x01\xff\xf0' '\xff\xfa' '\xff\xf0' '\xff\xf3' '\x0d\x00' \
    '\x0d\x0a' '\x1b[' '\x1b]' '\x1b[6n' '\x1b[c' '\x1b[2J' '\x1b[?1049h' '\x1b[10;20H' '\x1bP' '\x1b\\' '\x07' \
    '$ ' 'login: ' '\xe2\x94\x80' '\xf0\x9f\x98\x80' ;;
files)
  { find tests/fuzz/files -type f; find examples tests/host tests/scripts -name '*.ini'; } | seed
  printf '"%s"\n' '[' ']' '=' ';' '\x0d\x0a' Kind= tcp pty serial Address= Port= Telnet= LineEnd= Parity= Flow= Baud= \
    Rows= Columns= Capture= WaitChar= Data. '[MessageBox]' '[Input]' '[Select]' '*=' entry= phonebook= mode= \
    answers= connect=yes ;;
esac >"$dir/afl-$entry.dict"
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$(dirname "$out")"
run=() && [ "$(id -u)" = 0 ] && run=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
input=$root/$seeds && [ -d "$out/default/queue" ] && input=-
cd "$work"
export AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1
timeout_ms=500 && [ "$entry" = receive ] && timeout_ms=2000  # a byte a read over 100 KB takes its time
[ "$entry" = differential ] && timeout_ms=1000  # two runs an input
"${run[@]}" nice -n 10 afl-fuzz -i "$input" -o "$root/$out" -m none -t "${FUZZ_TIMEOUT_MS:-$timeout_ms}" \
  -x "$root/$dir/afl-$entry.dict" ${1:+-V "$1"} -- "$program" "${args[@]}" $file
