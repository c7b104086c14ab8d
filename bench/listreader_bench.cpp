// Throughput of loading a list and walking it to its start, for each list
// file named on the command line.
#include <benchmark/benchmark.h>

#include "list_walk.h"

static void LoadAndWalk(benchmark::State &state, LPCSTR listPath) {
  DWORD size = 0;
  for (auto _ : state) {
    LPCSTR list = LoadListFile(listPath, &size);
    if (!list) {
      state.SkipWithError("cannot load the list");
      return;
    }
    benchmark::DoNotOptimize(WalkList(list, size));
    // The tool keeps its list to the end; a benchmark of many loads must not.
    UnloadListFile(list);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i)
    benchmark::RegisterBenchmark(argv[i], LoadAndWalk, argv[i])->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
