#!/usr/bin/env bash
# Installs what is missing for the Win32 leg on Debian (as root, no input): mingw-w64 (i686), 32-bit
# Wine, Xvfb and the X tools of the dialog test.
set -euo pipefail
missing=()
need() { command -v "$1" >/dev/null || missing+=("$2"); }
need i686-w64-mingw32-g++-posix g++-mingw-w64-i686; need wine wine; need Xvfb xvfb; need xdotool xdotool
need import imagemagick; need xauth xauth
[ -x /usr/lib/wine/wine ] || missing+=(wine32:i386)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" </dev/null >/dev/null
fi
