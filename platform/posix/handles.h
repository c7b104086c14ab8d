// The objects behind the layer's handles: an open file or a started process.
#pragma once

#include <sys/types.h>
#include <windows.h>

enum StandInKind { STAND_IN_FILE, STAND_IN_PROCESS };

struct StandInObject {
  StandInKind kind;
  int fd;          // STAND_IN_FILE
  pid_t pid;       // STAND_IN_PROCESS
  BOOL ended;      // STAND_IN_PROCESS: reaped, exitCode is valid
  DWORD exitCode;  // STAND_IN_PROCESS
};

// The object behind a handle of the given kind, or null with the last error
// set when the handle is not one.
StandInObject *ToStandInObject(HANDLE handle, StandInKind kind);
