#!/usr/bin/env bash
# Runs batchuninst on the bundled sample list. A stand-in uninstaller in a
# throwaway Windows directory prints the arguments of every run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)" --target batchuninst stand_in_uninstaller >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/windows"
cp build/tests/stand_in_uninstaller "$work/windows/Dolm0411.exe"
cp samples/uninstall.lst "$work/uninstall.lst"

echo "uninstall list, last line first:"
tac "$work/uninstall.lst" | sed 's/\r$//; s/^/  /'
status=0
WINDIR="$work/windows" build/batchuninst "$work/uninstall.lst" || status=$?
echo "exit status: $status"
if [ -e "$work/uninstall.lst" ]; then echo "the list is still there"; else echo "the list has been deleted"; fi
