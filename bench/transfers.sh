#!/usr/bin/env bash
# ZMODEM rates of the reference host library against sz and rz connected to each other: a 20 MB
# random file each way over loopback TCP (raw, Telnet=no) and through a pty, RUNS times each
# (default 3), medians in milliseconds; every copy is compared byte for byte.
#   bash bench/transfers.sh [OXEL] [RUNS]     (OXEL: default build/oxel, built by the README)
set -euo pipefail
oxel=$(realpath "${1:-build/oxel}") runs=${2:-3}
dir=$(mktemp -d /tmp/oxel-rates.XXXXXX) && trap 'rm -rf "$dir"' EXIT && cd "$dir"
head -c 20971520 /dev/urandom >file.bin && mkdir in
ms() { local s=$(date +%s%N); "$@" >/dev/null 2>&1; echo $((($(date +%s%N) - s) / 1000000)); }
check() { cmp -s file.bin in/file.bin || { echo "copy differs: $1" >&2; exit 1; }; rm -f in/file.bin; }
script() { printf '#include <kt.h>\nlong h;\nint main() { ktInitialize(); h = ktOpenSession("%s", 0);\n ktSetSessionDataString(h, "Telnet", "no"); ktConnectSession(h, 5000);\n return %s; }\n' "$1" "$2" >run.c; }
listen() { (cd "$2" && socat TCP-LISTEN:$1,bind=127.0.0.1,reuseaddr SYSTEM:"$3" >/dev/null 2>&1 &) && sleep 0.3; }
median() { tr ' ' '\n' | sort -n | sed -n "$(((runs + 1) / 2))p"; }
measure() {  # name, then the command of one run
  local name=$1 times=() && shift
  for _ in $(seq "$runs"); do times+=("$("$@")"); check "$name"; done
  printf '%-40s %6s ms\n' "$name" "$(echo "${times[*]}" | median)"
}
port=$((20000 + RANDOM % 20000))
direct_tcp_down() { listen $port . "sz -q file.bin"; ms sh -c "cd in && socat TCP:127.0.0.1:$port SYSTEM:'rz -q'"; }
oxel_tcp_down() { listen $port . "sz -q file.bin"; script "tcp:127.0.0.1:$port" 'ktXferReceive(h, "in", 60000)'; ms "$oxel" run.c; }
direct_tcp_up() { listen $port in "rz -q"; ms socat TCP:127.0.0.1:$port SYSTEM:"sz -q file.bin"; sleep 0.2; }
oxel_tcp_up() { listen $port in "rz -q"; script "tcp:127.0.0.1:$port" 'ktXferSend(h, "file.bin", 60000)'; ms "$oxel" run.c; sleep 0.2; }
oxel_pty_down() { script "pty:sz -q file.bin" 'ktXferReceive(h, "in", 60000)'; ms "$oxel" run.c; }
oxel_pty_up() { script "pty:cd in && rz -q" 'ktXferSend(h, "file.bin", 60000)'; ms "$oxel" run.c; }
measure "sz -> rz, loopback TCP" direct_tcp_down
measure "sz -> oxel (rz), loopback TCP" oxel_tcp_down
measure "rz <- sz, loopback TCP" direct_tcp_up
measure "rz <- oxel (sz), loopback TCP" oxel_tcp_up
measure "sz on a pty -> oxel (rz)" oxel_pty_down
measure "oxel (sz) -> rz on a pty" oxel_pty_up
