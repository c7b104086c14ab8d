#include "handles.h"

#include <errno.h>
#include <sys/wait.h>
#include <unistd.h>

StandInObject *ToStandInObject(HANDLE handle, StandInKind kind) {
  StandInObject *object = static_cast<StandInObject *>(handle);
  if (!object || handle == INVALID_HANDLE_VALUE || object->kind != kind) {
    SetLastError(EBADF);
    return nullptr;
  }
  return object;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
  StandInObject *object = static_cast<StandInObject *>(handle);
  if (!object || handle == INVALID_HANDLE_VALUE) {
    SetLastError(EBADF);
    return FALSE;
  }
  if (object->kind == STAND_IN_FILE) {
    close(object->fd);
  } else if (!object->ended) {
    // Closing a handle leaves its process running, as on Windows; reap it
    // now if it has already ended so that it leaves no zombie behind.
    waitpid(object->pid, nullptr, WNOHANG);
  }
  delete object;
  return TRUE;
}
