// Runs a command and appends one line to RESULT_FILE: its wall time and the
// processor time it used itself, not counting its children, in seconds, the
// peak resident memory of it or any child it waited for, in KiB, and how it
// ended (its exit status, or 128 plus the signal that ended it). Exits with 0
// once the command is measured, whatever the command's own status.
#include <spawn.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <string>

extern char **environ;

// Nanoseconds the process has spent on a processor, read while it is still
// a zombie; -1 when the system does not keep the figure.
static long long OwnProcessorNanoseconds(pid_t pid) {
  std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
  long long nanoseconds = -1;
  schedstat >> nanoseconds;
  return nanoseconds;
}

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: measure RESULT_FILE COMMAND [ARGUMENT...]\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
    perror(argv[2]);
    return 2;
  }
  siginfo_t info = {};
  waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
  std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  long long processor = OwnProcessorNanoseconds(pid);

  int status = 0;
  rusage usage = {};
  wait4(pid, &status, 0, &usage);
  int ended = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::ofstream(argv[1], std::ios::app)
      << wall.count() << " " << processor / 1e9 << " " << usage.ru_maxrss << " " << ended << "\n";
  return 0;
}
