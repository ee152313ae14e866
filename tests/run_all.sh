#!/usr/bin/env bash
# Builds oxel and runs every test: ctest (script, command-line and host tests) under AddressSanitizer
# and UndefinedBehaviorSanitizer, then the script tests again on the optimised build; then the
# Win32 leg: oxel.exe cross-built with mingw-w64 and tested under wine (tests/win32/run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tests/install_deps.sh
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DOXEL_SANITIZE=ON >/dev/null
cmake --build build-test -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-test --output-on-failure

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs" --target oxel oxel_test_host
OXEL_HOST="$PWD/build/tests/librecording_host.so" \
  python3 tests/run_script_tests.py --oxel build/oxel tests/scripts tests/win32/differences/posix

bash tests/win32/run.sh
