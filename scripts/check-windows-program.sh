#!/usr/bin/env bash
# Checks that the program it is given is a 32-bit Windows console program
# that needs no DLL beyond the system's own (kernel32, user32, msvcrt).
set -euo pipefail

program=${1:?usage: check-windows-program.sh PROGRAM.exe}
headers=$(i686-w64-mingw32-objdump -p "$program")
fail() {
  echo "$program: $*" >&2
  exit 1
}
grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit PE program"
grep -qE '^Subsystem[[:space:]]+0*3[[:space:]]' <<<"$headers" || fail "not a console program"
others=$(awk '/DLL Name:/ { print $3 }' <<<"$headers" |
  grep -viE '^(kernel32|user32|msvcrt)\.dll$' || true)
[ -z "$others" ] || fail "needs DLLs beyond the system's: $others"
echo "$program: 32-bit console program; DLLs: $(awk '/DLL Name:/ { printf "%s ", $3 }' <<<"$headers")"
