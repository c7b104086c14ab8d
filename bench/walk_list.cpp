// Loads the list that its argument names and walks it to its start, as the
// tool does, so that its peak memory can be measured as a process's own.
#include <stdio.h>

#include "list_walk.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: walk_list LIST\n");
    return 2;
  }
  DWORD size = 0;
  LPCSTR list = LoadListFile(argv[1], &size);
  if (!list) return 1;
  printf("%lu entries\n", static_cast<unsigned long>(WalkList(list, size)));
  return 0;
}
