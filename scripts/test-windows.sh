#!/usr/bin/env bash
# Builds the tool and its Windows suite for 64-bit Windows and runs the suite
# under Wine, in a throwaway prefix with no display; the Wine server of that
# prefix is stopped at the end, whatever failed. This project's machines
# cannot start 32-bit Linux programs, which 32-bit Wine is, so the suite runs
# on the 64-bit build of the same sources.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake \
  -DBATCHUNINST_WERROR=ON
cmake --build build-win64 -j "$(nproc)"

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT

timeout 300 "$wine" wineboot --init
# The tests share the prefix's Windows directory, so they run one at a time.
timeout 600 "$wine" build-win64/tests/windows/windows_tests.exe

# Through wine, Linux sees the program's exit code -1 (after the usage text)
# as the exit status 255.
status=0
timeout 60 "$wine" build-win64/batchuninst.exe >/dev/null || status=$?
if [ "$status" -ne 255 ]; then
  echo "batchuninst.exe without arguments: exit status $status through wine, not 255" >&2
  exit 1
fi
