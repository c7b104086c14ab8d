#!/usr/bin/env bash
# Installs what the build needs, then builds and runs every test twice: as
# built for use (with the benchmarks built, not run), and under
# AddressSanitizer and UndefinedBehaviorSanitizer. Then fuzzes the list
# reader for a minute, cross-builds the 32-bit Windows program and checks it,
# and runs the Windows suite under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make g++ libgtest-dev googletest libbenchmark-dev clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

jobs=$(nproc)
build_and_test() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DBATCHUNINST_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j "$jobs")
}

build_and_test build -DBATCHUNINST_BENCHMARKS=ON
build_and_test build-asan -DBATCHUNINST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
scripts/fuzz.sh

cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DBATCHUNINST_WERROR=ON
cmake --build build-win32 -j "$jobs"
scripts/check-windows-program.sh build-win32/batchuninst.exe
scripts/test-windows.sh
