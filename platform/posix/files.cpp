#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "handles.h"

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD, HANDLE) {
  if (access != GENERIC_READ || disposition != OPEN_EXISTING) {
    SetLastError(EINVAL);
    return INVALID_HANDLE_VALUE;
  }
  // Handles made without security attributes are not inherited by children.
  int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    SetLastError(errno);
    return INVALID_HANDLE_VALUE;
  }
  // Windows refuses to open a directory as a file; POSIX opens it for reading.
  struct stat status;
  if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    SetLastError(S_ISDIR(status.st_mode) ? EISDIR : errno);
    close(fd);
    return INVALID_HANDLE_VALUE;
  }
  return new StandInObject{STAND_IN_FILE, fd, 0, FALSE, 0};
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  StandInObject *object = ToStandInObject(file, STAND_IN_FILE);
  struct stat status;
  if (!object) return INVALID_FILE_SIZE;
  if (fstat(object->fd, &status) != 0) {
    SetLastError(errno);
    return INVALID_FILE_SIZE;
  }
  uint64_t size = static_cast<uint64_t>(status.st_size);
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
  // A size whose low half looks like the failure value is told apart by the
  // last error, as on Windows.
  if (static_cast<DWORD>(size) == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return static_cast<DWORD>(size);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED) {
  StandInObject *object = ToStandInObject(file, STAND_IN_FILE);
  if (!object) return FALSE;
  // A file read on Windows delivers everything up to the end of the file;
  // POSIX may hand it out in parts.
  char *next = static_cast<char *>(buffer);
  DWORD delivered = 0;
  while (delivered < bytesToRead) {
    ssize_t got = read(object->fd, next + delivered, bytesToRead - delivered);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      SetLastError(errno);
      return FALSE;
    }
    if (got == 0) break;
    delivered += static_cast<DWORD>(got);
  }
  *bytesRead = delivered;
  return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR path) {
  if (unlink(path) != 0) {
    SetLastError(errno);
    return FALSE;
  }
  return TRUE;
}
