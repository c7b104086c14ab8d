#!/usr/bin/env bash
# Builds Release and prints, side by side, what the tool costs against what a
# user would pick instead: processor time while uninstallers run, overhead
# per entry, and the speed and memory of reading the list. Every figure is
# the median of BENCH_RUNS runs (5 unless set).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${BENCH_RUNS:-5}
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DBATCHUNINST_BENCHMARKS=ON >/dev/null
cmake --build build-bench -j "$(nproc)" >/dev/null
tool=$PWD/build-bench/batchuninst
bin=$PWD/build-bench/bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/windows"
cp "$bin/bench_uninstaller" "$work/windows/Dolm0411.exe"
export WINDIR=$work/windows

# The median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The median of column N of a measure result file (1: wall seconds, 2: own
# processor seconds, 3: peak KiB, 4: how the command ended).
column_median() { awk -v n="$2" '{ print $n }' "$1" | median; }
# Runs COMMAND... BENCH_RUNS times under measure, recording into RESULT_FILE,
# after restoring the list from its copy (the tool deletes it).
measure_runs() {
  local result=$1 list=$2
  shift 2
  rm -f "$result"
  for _ in $(seq "$runs"); do
    cp "$list.orig" "$list"
    "$bin/measure" "$result" "$@" >/dev/null
  done
}
# Writes lines of LENGTH bytes (at least 17), CR LF ended, SIZE bytes in all
# or just under.
make_list() {
  local path=$1 size=$2 length=$3
  awk -v size="$size" -v length_="$length" 'BEGIN {
    pad = ""
    while (length(pad) < length_ - 17) pad = pad "x"
    for (n = 0; n < int(size / length_); n++) printf "C:\\%s%08d.log\r\n", pad, n
  }' >"$path"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "batchuninst benchmarks: $(nproc) cores, median of $runs runs"
echo

# Cost of waiting: three uninstallers that sleep one second each.
printf 'one\r\ntwo\r\nthree\r\n' >"$work/wait.lst.orig"
BENCH_SLEEP_MS=1000 measure_runs "$work/wait.result" "$work/wait.lst" "$tool" "$work/wait.lst"
wait_wall=$(column_median "$work/wait.result" 1)
wait_cpu=$(column_median "$work/wait.result" 2)
printf '%-52s %14s %14s %12s\n' "Cost of waiting (3 uninstallers of 1 s)" "tool CPU ms" "wall s" "CPU / wall"
printf '%-52s %14.2f %14.3f %11.3f%%\n' "batchuninst" "$(awk -v c="$wait_cpu" 'BEGIN { print c * 1000 }')" \
  "$wait_wall" "$(awk -v c="$wait_cpu" -v w="$wait_wall" 'BEGIN { print 100 * c / w }')"
echo "  goal: under 1 % (a tight poll of the exit code burns 100 %)"
echo

# Overhead per entry: 5,000 runs of an uninstaller that exits at once.
entries=5000
seq -f 'C:\\logs\\app%05g.log' "$entries" >"$work/entries.lst.orig"
measure_runs "$work/tool.result" "$work/entries.lst" "$tool" "$work/entries.lst"
measure_runs "$work/xargs.result" "$work/entries.lst" \
  xargs -a "$work/entries.lst" -d '\n' -n1 "$WINDIR/Dolm0411.exe" -y
measure_runs "$work/floor.result" "$work/entries.lst" \
  "$bin/spawn_floor" "$WINDIR/Dolm0411.exe" "$work/entries.lst"
per_entry() { awk -v s="$(column_median "$1" 1)" -v n="$entries" 'BEGIN { print s * 1000 / n }'; }
tool_ms=$(per_entry "$work/tool.result")
xargs_ms=$(per_entry "$work/xargs.result")
floor_ms=$(per_entry "$work/floor.result")
printf '%-52s %14s %14s %12s\n' "Overhead per entry ($entries runs of a no-op)" "ms / entry" "/ floor" "/ xargs"
printf '%-52s %14.4f %14s %12s\n' "batchuninst" "$tool_ms" "$(ratio "$tool_ms" "$floor_ms")" "$(ratio "$tool_ms" "$xargs_ms")"
printf '%-52s %14.4f %14s %12s\n' "xargs -n1" "$xargs_ms" "$(ratio "$xargs_ms" "$floor_ms")" "1.00"
printf '%-52s %14.4f %14s %12s\n' "posix_spawn + waitpid loop (floor)" "$floor_ms" "1.00" "$(ratio "$floor_ms" "$xargs_ms")"
echo "  goal: batchuninst within 1.10 of the floor and under 1.00 of xargs"
echo

# Reading the list: load and walk back to the start, against tac.
mib=$((1024 * 1024))
make_list "$work/short.lst" $((64 * mib)) 20
make_list "$work/long.lst" $((64 * mib)) 200
"$bin/listreader_bench" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv "$work/short.lst" "$work/long.lst" 2>/dev/null >"$work/reader.csv"
reader_mib_s() { awk -F, -v name="\"$1_median\"" '$1 == name { print $6 / 1048576 }' "$work/reader.csv"; }
tac_mib_s() {
  rm -f "$work/tac.result"
  for _ in $(seq "$runs"); do "$bin/measure" "$work/tac.result" tac "$1" >/dev/null; done
  awk -v b="$(stat -c %s "$1")" -v s="$(column_median "$work/tac.result" 1)" \
    'BEGIN { print b / 1048576 / s }'
}
printf '%-52s %14s %14s %12s\n' "Reading a 64 MiB list" "MiB/s" "tac MiB/s" "/ tac"
for lines in short long; do
  ours=$(reader_mib_s "$work/$lines.lst")
  theirs=$(tac_mib_s "$work/$lines.lst")
  printf '%-52s %14.0f %14.0f %12s\n' "LoadListFile + walk, $lines lines" "$ours" "$theirs" "$(ratio "$ours" "$theirs")"
done
echo "  goal: at least tac's throughput"
echo

make_list "$work/big.lst" $((256 * mib)) 20
rm -f "$work/walk.result"
for _ in $(seq "$runs"); do "$bin/measure" "$work/walk.result" "$bin/walk_list" "$work/big.lst" >/dev/null; done
peak_mib=$(awk -v k="$(column_median "$work/walk.result" 3)" 'BEGIN { print k / 1024 }')
printf '%-52s %14s %14s %12s\n' "Peak memory, loading and walking a 256 MiB list" "MiB" "list MiB" "extra MiB"
printf '%-52s %14.1f %14d %12.1f\n' "walk_list" "$peak_mib" 256 "$(awk -v p="$peak_mib" 'BEGIN { print p - 256 }')"
echo "  goal: the list's size plus a few MiB"
