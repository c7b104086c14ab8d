#include <string.h>

#include "batchuninst.h"

// The old end-of-file mark that some editors still write.
static const char END_OF_FILE_MARK = 0x1A;

// Reads the whole file into one locked block; null after reporting why not.
static LPCSTR ReadIntoBlock(HANDLE file, LPCSTR listPath, DWORD size, LPDWORD bytesRead) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!memory) {
    ReportSystemError(GetLastError());
    return nullptr;
  }
  LPSTR list = static_cast<LPSTR>(GlobalLock(memory));
  if (!list) {
    ReportSystemError(GetLastError());
    GlobalFree(memory);
    return nullptr;
  }
  if (!ReadFile(file, list, size, bytesRead, nullptr)) {
    ReportSystemError(GetLastError());
    UnloadListFile(list);
    return nullptr;
  }
  // Running part of a list and then deleting all of it would lose entries.
  if (*bytesRead != size) {
    ReportToolError(
        "Only %lu of the %lu bytes of the uninstall list %s could be read; nothing is run.",
        static_cast<unsigned long>(*bytesRead), static_cast<unsigned long>(size), listPath);
    UnloadListFile(list);
    return nullptr;
  }
  return list;
}

// The list's size, refusing sizes that cannot be loaded whole; 0 after
// reporting why not.
static DWORD QueryListSize(HANDLE file, LPCSTR listPath) {
  DWORD sizeHigh = 0;
  DWORD size = GetFileSize(file, &sizeHigh);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    ReportSystemError(GetLastError());
    return 0;
  }
  if (sizeHigh != 0) {
    ReportToolError("The uninstall list %s is 4 GiB or larger; nothing is run.", listPath);
    return 0;
  }
  if (size == 0) ReportToolError("The uninstall list %s is empty; nothing is run.", listPath);
  return size;
}

LPCSTR LoadListFile(LPCSTR listPath, LPDWORD bytesRead) {
  // Other readers are welcome; a writer could change the list under us.
  HANDLE file = CreateFileA(listPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ReportSystemError(GetLastError());
    return nullptr;
  }
  DWORD size = QueryListSize(file, listPath);
  LPCSTR list = size ? ReadIntoBlock(file, listPath, size, bytesRead) : nullptr;
  CloseHandle(file);
  return list;
}

void UnloadListFile(LPCSTR list) {
  HGLOBAL memory = GlobalHandle(list);
  GlobalUnlock(memory);
  GlobalFree(memory);
}

// Where the line that ends at the scan position has its end: the LF before
// the scan position, or the scan position itself for a last line without LF.
// CR bytes and end-of-file marks after the last LF are not a line of their own.
static LPCSTR FindLineEnd(LPCSTR listStart, LPCSTR scanPosition) {
  LPCSTR next = scanPosition;
  while (next > listStart && (next[-1] == '\r' || next[-1] == END_OF_FILE_MARK)) --next;
  if (next > listStart && next[-1] == '\n') return next - 1;
  return scanPosition;
}

static LPCSTR FindLineStart(LPCSTR listStart, LPCSTR lineEnd) {
  LPCSTR next = lineEnd;
  while (next > listStart && next[-1] != '\n') --next;
  return next;
}

LPCSTR ReadPreviousEntry(LPCSTR listStart, LPCSTR scanPosition, LPSTR entry, LPBOOL entryTooLong) {
  LPCSTR lineEnd = FindLineEnd(listStart, scanPosition);
  LPCSTR lineStart = FindLineStart(listStart, lineEnd);
  LPCSTR textEnd = lineEnd;
  while (textEnd > lineStart && textEnd[-1] == '\r') --textEnd;

  // A zero byte ends the entry; only bytes up to one past the buffer's room
  // matter to whether it fits.
  size_t length = static_cast<size_t>(textEnd - lineStart);
  const void *zero = memchr(lineStart, '\0', length < ENTRY_SIZE ? length : ENTRY_SIZE);
  if (zero) length = static_cast<size_t>(static_cast<LPCSTR>(zero) - lineStart);
  *entryTooLong = length >= ENTRY_SIZE;
  if (*entryTooLong) length = 0;
  memcpy(entry, lineStart, length);
  entry[length] = '\0';
  return lineStart > listStart ? lineStart : nullptr;
}
