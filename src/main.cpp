#include "batchuninst.h"

int main(int argc, char **argv) {
  if (argc == 2) {
    // The exit status says only that the command line was accepted.
    RunUninstallList(argv[1]);
    return 1;
  }
  PrintUsage(argc > 0 && argv[0] ? argv[0] : "batchuninst");
  return -1;
}
