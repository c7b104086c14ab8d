// Stands in for the uninstaller in the tests and the demo. Each run appends
// one line to the file that STAND_IN_LOG names:
//   <start> <end> x<hex of argv[0]> x<hex of argv[1]> ...
// with start and end in steady-clock nanoseconds, so that tests can check
// the exact arguments and that runs never overlap. Without STAND_IN_LOG it
// prints its arguments instead. STAND_IN_SLEEP_MS makes the run last that
// long, STAND_IN_EXIT_CODE sets its exit code and STAND_IN_DELETE names a
// file that it deletes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

long long NowNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string Hex(const std::string &bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return hex;
}

long EnvironmentNumber(const char *name) {
  const char *value = std::getenv(name);
  return value ? std::strtol(value, nullptr, 10) : 0;
}

}  // namespace

int main(int argc, char **argv) {
  long long start = NowNanoseconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(EnvironmentNumber("STAND_IN_SLEEP_MS")));
  if (const char *doomed = std::getenv("STAND_IN_DELETE")) std::remove(doomed);

  const char *logPath = std::getenv("STAND_IN_LOG");
  if (!logPath) {
    std::printf("uninstaller run:");
    for (int i = 1; i < argc; ++i) std::printf(" [%s]", argv[i]);
    std::printf("\n");
    return static_cast<int>(EnvironmentNumber("STAND_IN_EXIT_CODE"));
  }
  std::string record = std::to_string(start) + " " + std::to_string(NowNanoseconds());
  for (int i = 0; i < argc; ++i) record += " x" + Hex(argv[i]);
  record += "\n";
  std::ofstream log(logPath, std::ios::binary | std::ios::app);
  log << record;
  return static_cast<int>(EnvironmentNumber("STAND_IN_EXIT_CODE"));
}
