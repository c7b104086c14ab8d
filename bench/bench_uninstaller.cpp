// The uninstaller for the benchmarks: exits at once, or after sleeping for
// BENCH_SLEEP_MS milliseconds.
#include <stdlib.h>
#include <time.h>

int main() {
  const char *sleepMs = getenv("BENCH_SLEEP_MS");
  if (sleepMs) {
    long ms = strtol(sleepMs, nullptr, 10);
    timespec pause = {ms / 1000, (ms % 1000) * 1000000};
    while (nanosleep(&pause, &pause) != 0) {
    }
  }
  return 0;
}
