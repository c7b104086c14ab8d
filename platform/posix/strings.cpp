#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int WINAPI lstrlenA(LPCSTR text) { return text ? static_cast<int>(strlen(text)) : 0; }

int WINAPI wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  // wsprintfA writes at most 1024 bytes, the terminating zero included.
  const size_t outputLimit = 1024;
  va_list arguments;
  va_start(arguments, format);
  int length = vsnprintf(buffer, outputLimit, format, arguments);
  va_end(arguments);
  if (length < 0) return 0;
  return length < static_cast<int>(outputLimit) ? length : static_cast<int>(outputLimit) - 1;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  LPCSTR directory = getenv("WINDIR");
  if (!directory || !*directory) {
    SetLastError(ERROR_WINDIR_NOT_SET);
    return 0;
  }
  size_t length = strlen(directory);
  // Too small a buffer: the size needed, zero included, and nothing copied.
  if (length >= size) return static_cast<UINT>(length + 1);
  memcpy(buffer, directory, length + 1);
  return static_cast<UINT>(length);
}
