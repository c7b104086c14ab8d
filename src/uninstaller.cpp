#include "batchuninst.h"

HANDLE LaunchUninstaller(LPCSTR programPath, LPSTR commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // The full program path keeps the system from searching for the program
  // or splitting a directory name that holds a space.
  if (!CreateProcessA(programPath, commandLine, nullptr, nullptr, TRUE,
                      CREATE_SEPARATE_WOW_VDM | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                      &process)) {
    ReportSystemError(GetLastError());
    return nullptr;
  }
  if (process.hThread) CloseHandle(process.hThread);
  return process.hProcess;
}

// Takes every message waiting for this thread, so that windows the thread
// owns keep answering while it waits.
static void DispatchWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void WaitForUninstaller(HANDLE process) {
  if (!process) return;
  // Sleeps until the process ends or a message arrives; the process's own
  // end is the signal, whatever exit code it leaves.
  for (;;) {
    DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) break;
    if (woken == WAIT_FAILED) {
      ReportSystemError(GetLastError());
      break;
    }
    DispatchWaitingMessages();
  }
  CloseHandle(process);
}
