#include <stdio.h>

#include "batchuninst.h"

static const char UNINSTALLER_FILE_NAME[] = "Dolm0411.exe";
static const char COMMAND_FORMAT[] = "%s\\%s -y -f\"%s\"";
// What the command format adds to the directory and the entry.
static const int COMMAND_FIXED_LENGTH =
    sizeof(UNINSTALLER_FILE_NAME) - 1 + sizeof("\\ -y -f\"\"") - 1;

void PrintUsage(LPCSTR programName) {
  printf("usege : %s LogListFileName\n", programName);
  printf("example :\n");
  printf("\t%s Kelbo.log\n", programName);
}

LPSTR QueryWindowsDirectory(LPSTR directory) {
  UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
  if (length == 0) {
    ReportSystemError(GetLastError());
    return nullptr;
  }
  if (length >= MAX_PATH) {
    ReportToolError("The Windows directory is longer than %d characters; nothing is run.",
                    MAX_PATH - 1);
    return nullptr;
  }
  // The command supplies its own backslash: C:\ becomes C:.
  if (directory[length - 1] == '\\') directory[length - 1] = '\0';
  return directory;
}

LPSTR ComposeProgramPath(LPSTR programPath, LPCSTR windowsDirectory) {
  wsprintfA(programPath, "%s\\%s", windowsDirectory, UNINSTALLER_FILE_NAME);
  return programPath;
}

LPSTR ComposeCommandLine(LPSTR commandLine, LPCSTR windowsDirectory, LPCSTR entry) {
  int length = lstrlenA(windowsDirectory) + lstrlenA(entry) + COMMAND_FIXED_LENGTH;
  if (length >= COMMAND_LINE_SIZE) return nullptr;
  wsprintfA(commandLine, COMMAND_FORMAT, windowsDirectory, UNINSTALLER_FILE_NAME, entry);
  return commandLine;
}

// Runs the uninstaller for one entry and waits for its end. An entry that
// does not fit the buffers is reported and skipped, never cut short.
static void RunEntry(LPCSTR windowsDirectory, LPCSTR programPath, LPCSTR entry, BOOL entryTooLong,
                     DWORD lineOffset) {
  CHAR commandLine[COMMAND_LINE_SIZE];
  if (entryTooLong) {
    ReportToolError("The uninstall list line at byte %lu is longer than %d bytes; it is not run.",
                    static_cast<unsigned long>(lineOffset), ENTRY_SIZE - 1);
    return;
  }
  if (!ComposeCommandLine(commandLine, windowsDirectory, entry)) {
    ReportToolError(
        "The command line for the uninstall list line at byte %lu would be longer "
        "than %d characters; it is not run.",
        static_cast<unsigned long>(lineOffset), COMMAND_LINE_SIZE - 1);
    return;
  }
  WaitForUninstaller(LaunchUninstaller(programPath, commandLine));
}

BOOL RunUninstallList(LPCSTR listPath) {
  CHAR windowsDirectory[WINDOWS_DIRECTORY_SIZE];
  CHAR programPath[PROGRAM_PATH_SIZE];
  CHAR entry[ENTRY_SIZE];
  DWORD bytesRead = 0;

  if (!QueryWindowsDirectory(windowsDirectory)) return FALSE;
  LPCSTR list = LoadListFile(listPath, &bytesRead);
  if (!list) return FALSE;
  ComposeProgramPath(programPath, windowsDirectory);

  LPCSTR scanPosition = list + bytesRead;
  do {
    BOOL entryTooLong = FALSE;
    LPCSTR lineStart = ReadPreviousEntry(list, scanPosition, entry, &entryTooLong);
    DWORD lineOffset = static_cast<DWORD>((lineStart ? lineStart : list) - list);
    RunEntry(windowsDirectory, programPath, entry, entryTooLong, lineOffset);
    scanPosition = lineStart;
  } while (scanPosition);

  // A list left behind would run every entry again next time.
  if (!DeleteFileA(listPath)) ReportSystemError(GetLastError());
  return TRUE;
}
