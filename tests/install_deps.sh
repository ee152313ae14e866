#!/usr/bin/env bash
# Installs what the tests need when it is missing, on Debian as root (no input needed): what the build
# needs (cmake/install_deps.sh), then Python, GoogleTest, and the peers of the host library's tests:
# socat (a pty pair for the serial line, and the listener of the telnet daemon), inetutils' telnet
# daemon, OpenSSH's server and client, and the transfer programs (lrzsz, C-Kermit). The Win32 leg
# installs its own tools (tests/win32/install.sh).
set -euo pipefail
bash "$(dirname "$0")/../cmake/install_deps.sh"
missing=()
for tool in python3 socat; do command -v "$tool" >/dev/null || missing+=("$tool"); done
[ -x /usr/sbin/telnetd ] || missing+=(inetutils-telnetd)
[ -x /usr/sbin/sshd ] || missing+=(openssh-server)
command -v ssh >/dev/null || missing+=(openssh-client)
command -v sz >/dev/null || missing+=(lrzsz)
command -v kermit >/dev/null || missing+=(ckermit)
[ -e /usr/lib/x86_64-linux-gnu/libgtest.a ] || [ -e /usr/lib/libgtest.a ] || missing+=(libgtest-dev)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" </dev/null >/dev/null
fi
