#include <stdarg.h>
#include <stdio.h>

#include "batchuninst.h"

void ReportSystemError(DWORD errorCode) {
  LPSTR text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text),
      0, nullptr);
  if (length == 0) {
    fprintf(stderr, "System error %lu (the system has no text for it).\n",
            static_cast<unsigned long>(errorCode));
    return;
  }
  fprintf(stderr, "%s\n", text);
  LocalFree(text);
}

void ReportToolError(LPCSTR format, ...) {
  va_list arguments;
  va_start(arguments, format);
  vfprintf(stderr, format, arguments);
  va_end(arguments);
  fputc('\n', stderr);
}
