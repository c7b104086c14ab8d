#!/usr/bin/env bash
# Builds the list reader's fuzzer with clang and runs it from the seed corpus
# for FUZZ_SECONDS (60 unless set) with a fixed seed. On a crash or a
# mismatch it prints the failing input in hex: add it to fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DBATCHUNINST_FUZZ=ON -DBUILD_TESTING=OFF \
  -DBATCHUNINST_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j "$(nproc)" --target listreader_fuzzer

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/found" "$work/failures"
# New inputs go to the first folder, so the seed corpus stays as committed.
if ! build-fuzz/fuzz/listreader_fuzzer -seed=1 -max_total_time="$seconds" -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$work/failures/" "$work/found" fuzz/corpus; then
  for input in "$work"/failures/*; do
    echo "Failing input $(basename "$input"), in hex:"
    od -An -tx1 -v "$input"
  done
  exit 1
fi
