#!/usr/bin/env bash
# Installs what building oxel needs when it is missing, on Debian as root (no input needed): CMake,
# make, a C++ compiler and libvterm (the reference host library's screen). Without root or apt-get
# it installs nothing, names what is missing and succeeds, so that the build goes on without it.
set -euo pipefail
missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v make >/dev/null || missing+=(make)
command -v c++ >/dev/null || command -v g++ >/dev/null || missing+=(g++)
[ -e /usr/include/vterm.h ] || missing+=(libvterm-dev)
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
  echo "cmake/install_deps.sh: not installing (needs root and apt-get): ${missing[*]}" >&2
  exit 0
fi
echo "installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
