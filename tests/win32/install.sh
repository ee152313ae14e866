#!/usr/bin/env bash
# Installs what the Win32 leg of the tests needs on a Debian machine, when it is missing: the
# mingw-w64 cross compiler (i686), Wine (32-bit), Xvfb and the X tools for the dialog test.
# Runs as root without standard input; does nothing when everything is there.
set -euo pipefail
missing=()
command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686)
command -v wine >/dev/null || missing+=(wine)
[ -x /usr/lib/wine/wine ] || missing+=(wine32:i386)
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v import >/dev/null || missing+=(imagemagick)
command -v xauth >/dev/null || missing+=(xauth)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" </dev/null >/dev/null
fi
