// The floor for running a program once per line of a list on this machine:
// for each line, posix_spawn PROGRAM -y -f<line> and wait for it. Nothing
// else: no Windows layer, no command line to split.
#include <spawn.h>
#include <stdio.h>
#include <sys/wait.h>

#include <fstream>
#include <string>

extern char **environ;

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: spawn_floor PROGRAM LIST\n");
    return 2;
  }
  std::ifstream list(argv[2], std::ios::binary);
  std::string yes = "-y";
  for (std::string line; std::getline(list, line);) {
    std::string file = "-f" + line;
    char *childArgv[] = {argv[1], yes.data(), file.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[1], nullptr, nullptr, childArgv, environ) != 0) return 1;
    int status = 0;
    waitpid(pid, &status, 0);
  }
  return 0;
}
