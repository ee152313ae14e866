#!/usr/bin/env bash
# The Win32 leg: installs what it needs, cross-builds oxel.exe and the test helpers into build-win32,
# prepares a fresh wine prefix under /tmp, and runs under wine the script tests (but those listed in
# tests/win32/differences.txt) with the Win32 side of the differences, and win32_test.py.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tests/win32/install.sh
cmake -S . -B build-win32 --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win32 -j "$(nproc 2>/dev/null || echo 2)"

export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d /tmp/oxel-wine.XXXXXX)
unset DISPLAY
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
# The prefix: no crash dialog, dialogs answerable without X (null driver), and under X a frame that
# wine draws itself, without waiting for a window manager.
timeout 180 wineboot -i >/dev/null 2>&1
timeout 60 wineserver -w
reg() { timeout 60 wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\Drivers' /v Graphics /d null
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
timeout 30 wineserver -k
timeout 30 wineserver -p

# The kt built-ins find the tests' recording host library as RV32AUTO.DLL on wine's PATH.
export WINEPATH="Z:$(pwd | tr / '\\')\\build-win32\\tests\\win32\\host"
set -- --oxel build-win32/oxel.exe --harness build-win32/tests/win32/harness.exe
status=0
python3 tests/run_script_tests.py "$@" --skip tests/win32/differences.txt tests/scripts \
  tests/win32/differences/win32 || status=1
python3 tests/win32/win32_test.py "$@" || status=1
exit $status
