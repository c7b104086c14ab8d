// The tool's walk over a loaded list, without the runs: every entry, last
// line first.
#pragma once

#include "batchuninst.h"

// Returns the number of entries, so that the walk cannot be optimized away.
inline DWORD WalkList(LPCSTR list, DWORD size) {
  CHAR entry[ENTRY_SIZE];
  DWORD entries = 0;
  LPCSTR scanPosition = list + size;
  do {
    BOOL entryTooLong = FALSE;
    scanPosition = ReadPreviousEntry(list, scanPosition, entry, &entryTooLong);
    ++entries;
  } while (scanPosition);
  return entries;
}
