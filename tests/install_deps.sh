#!/usr/bin/env bash
# Installs what building and testing oxel needs on a Debian machine, when it is missing (as root,
# without standard input): the tools, GoogleTest, libvterm (the host library's screen) and socat
# (the serial line of its tests, a pty pair); then what the Win32 leg needs.
set -euo pipefail
missing=()
for tool in cmake g++ python3 socat; do command -v "$tool" >/dev/null || missing+=("$tool"); done
[ -e /usr/lib/x86_64-linux-gnu/libgtest.a ] || [ -e /usr/lib/libgtest.a ] || missing+=(libgtest-dev)
[ -e /usr/include/vterm.h ] || missing+=(libvterm-dev)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" </dev/null
fi
bash "$(dirname "$0")/win32/install.sh"
