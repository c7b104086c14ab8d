#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>

#include "commandline.h"
#include "handles.h"

extern char **environ;

namespace {

// A process killed by a signal ends with the shell's code for it.
DWORD ExitCodeFromStatus(int status) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  return 128u + static_cast<DWORD>(WTERMSIG(status));
}

// Reaps the process, blocking until it has ended unless told not to wait.
BOOL ReapProcess(StandInObject *process, int options) {
  while (!process->ended) {
    int status = 0;
    pid_t reaped = waitpid(process->pid, &status, options);
    if (reaped == process->pid) {
      process->ended = TRUE;
      process->exitCode = ExitCodeFromStatus(status);
    } else if (reaped == 0) {
      return TRUE;  // still running, and asked not to wait
    } else if (errno != EINTR) {
      SetLastError(errno);
      return FALSE;
    }
  }
  return TRUE;
}

}  // namespace

BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID environment,
                           LPCSTR currentDirectory, LPSTARTUPINFOA,
                           LPPROCESS_INFORMATION processInformation) {
  if (!commandLine || environment || currentDirectory) {
    SetLastError(EINVAL);
    return FALSE;
  }
  std::vector<std::string> arguments = SplitCommandLine(commandLine);
  std::string program = applicationName ? applicationName : arguments[0];
  std::replace(program.begin(), program.end(), '\\', '/');

  std::vector<char *> argv;
  for (std::string &argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  // posix_spawn neither searches PATH nor copies the caller's memory.
  pid_t pid = 0;
  int error = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (error != 0) {
    SetLastError(static_cast<DWORD>(error));
    return FALSE;
  }
  processInformation->hProcess = new StandInObject{STAND_IN_PROCESS, -1, pid, FALSE, STILL_ACTIVE};
  processInformation->hThread = nullptr;
  processInformation->dwProcessId = static_cast<DWORD>(pid);
  processInformation->dwThreadId = 0;
  return TRUE;
}

BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
  StandInObject *object = ToStandInObject(process, STAND_IN_PROCESS);
  if (!object || !ReapProcess(object, WNOHANG)) return FALSE;
  *exitCode = object->exitCode;
  return TRUE;
}

DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL, DWORD milliseconds,
                                       DWORD) {
  if (count != 1 || milliseconds != INFINITE) {
    SetLastError(EINVAL);
    return WAIT_FAILED;
  }
  StandInObject *object = ToStandInObject(handles[0], STAND_IN_PROCESS);
  if (!object || !ReapProcess(object, 0)) return WAIT_FAILED;
  return WAIT_OBJECT_0;
}

BOOL WINAPI PeekMessageA(LPMSG, HWND, UINT, UINT, UINT) { return FALSE; }

BOOL WINAPI TranslateMessage(const MSG *) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG *) { return 0; }
