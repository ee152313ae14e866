#!/usr/bin/env bash
# Installs what building and testing oxel needs on a Debian machine, when it is missing.
# Runs as root without standard input; does nothing when everything is there.
set -euo pipefail
missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v g++ >/dev/null || missing+=(g++)
command -v python3 >/dev/null || missing+=(python3)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" </dev/null
fi

# The Win32 leg: the mingw-w64 cross compiler, wine, Xvfb and the X tools.
bash "$(dirname "$0")/win32/install.sh"
