#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {

thread_local DWORD lastError = NO_ERROR;

// Texts of the codes that the layer gives itself.
LPCSTR LayerErrorText(DWORD code) {
  switch (code) {
    case ERROR_WINDIR_NOT_SET:
      return "The WINDIR environment variable, which names the Windows directory, is not set or is "
             "empty.";
    case ERROR_EMPTY_BLOCK:
      return "A memory block of zero bytes cannot be locked.";
    default:
      return nullptr;
  }
}

}  // namespace

DWORD WINAPI GetLastError(void) { return lastError; }

void WINAPI SetLastError(DWORD errorCode) { lastError = errorCode; }

DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD,
                            va_list *) {
  const DWORD required = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER;
  if ((flags & required) != required) {
    SetLastError(EINVAL);
    return 0;
  }
  LPCSTR text = LayerErrorText(messageId);
  if (!text && messageId <= INT32_MAX) text = strerror(static_cast<int>(messageId));
  if (!text) {
    SetLastError(EINVAL);
    return 0;
  }
  LPSTR copy = strdup(text);
  if (!copy) {
    SetLastError(ENOMEM);
    return 0;
  }
  *reinterpret_cast<LPSTR *>(buffer) = copy;
  return static_cast<DWORD>(strlen(copy));
}

HLOCAL WINAPI LocalFree(HLOCAL memory) {
  free(memory);
  return nullptr;
}
