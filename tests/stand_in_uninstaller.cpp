// Stands in for the uninstaller in the tests and the demo. Each run appends
// one line to the file that STAND_IN_LOG names:
//   <start> <end> x<hex of argv[0]> x<hex of argv[1]> ...
// with start and end in steady-clock nanoseconds, so that tests can check
// the exact arguments and that runs never overlap. Without STAND_IN_LOG it
// prints its arguments instead. STAND_IN_SLEEP_MS makes the run last that
// long, STAND_IN_EXIT_CODE sets its exit code and STAND_IN_DELETE names a
// file that it deletes. STAND_IN_PID_FILE names a file that it writes its
// process id to as it starts; STAND_IN_FD_LOG names a file that it appends
// a line to, naming what each of its open descriptors above 2 refers to;
// STAND_IN_SIGNAL is a signal that it raises on itself at its end.
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
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

void WriteProcessId(const char *path) { std::ofstream(path, std::ios::binary) << getpid() << "\n"; }

// One line for the descriptors above 2 that this process was started with:
// "open:" and what each refers to, or "unlisted" when /proc cannot tell.
std::string OpenDescriptorTargets() {
  DIR *descriptors = opendir("/proc/self/fd");
  if (!descriptors) return "unlisted\n";
  std::string line = "open:";
  while (dirent *item = readdir(descriptors)) {
    int fd = std::atoi(item->d_name);
    if (item->d_name[0] == '.' || fd <= 2 || fd == dirfd(descriptors)) continue;
    char target[4096];
    ssize_t length =
        readlink(("/proc/self/fd/" + std::string(item->d_name)).c_str(), target, sizeof target);
    line += " " + (length < 0 ? std::string("?") : std::string(target, length));
  }
  closedir(descriptors);
  return line + "\n";
}

}  // namespace

int main(int argc, char **argv) {
  long long start = NowNanoseconds();
  if (const char *pidPath = std::getenv("STAND_IN_PID_FILE")) WriteProcessId(pidPath);
  if (const char *fdLogPath = std::getenv("STAND_IN_FD_LOG")) {
    std::string targets = OpenDescriptorTargets();  // before the log has a descriptor too
    std::ofstream(fdLogPath, std::ios::binary | std::ios::app) << targets;
  }
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
  std::ofstream(logPath, std::ios::binary | std::ios::app) << record;
  if (long signal = EnvironmentNumber("STAND_IN_SIGNAL")) std::raise(static_cast<int>(signal));
  return static_cast<int>(EnvironmentNumber("STAND_IN_EXIT_CODE"));
}
