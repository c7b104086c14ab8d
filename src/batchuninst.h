// batchuninst: runs the uninstaller once for every line of an uninstall list,
// last line first, one run at a time, then deletes the list.
#pragma once

#include <windows.h>

// Buffer sizes, terminating zero included.
constexpr int WINDOWS_DIRECTORY_SIZE = 264;
constexpr int ENTRY_SIZE = 264;
constexpr int COMMAND_LINE_SIZE = 524;
// The Windows directory (at most MAX_PATH - 1 characters), a backslash and
// the uninstaller's file name always fit.
constexpr int PROGRAM_PATH_SIZE = MAX_PATH + 16;

// Batch run.
void PrintUsage(LPCSTR programName);
// Returns TRUE once the list has been walked to its start and deleted (or
// the deletion reported), FALSE when nothing could be run.
BOOL RunUninstallList(LPCSTR listPath);
// Fills the buffer with the Windows directory, without a trailing backslash.
LPSTR QueryWindowsDirectory(LPSTR directory);
LPSTR ComposeProgramPath(LPSTR programPath, LPCSTR windowsDirectory);
// Null, with nothing written, when the command does not fit its buffer.
LPSTR ComposeCommandLine(LPSTR commandLine, LPCSTR windowsDirectory, LPCSTR entry);

// Uninstall list reader.
//
// A list is lines ended by LF; CRs right before a line's end are not part of
// it. A scan position is one past the end of the part of the list not yet
// read: the first is the list's start plus its size.
LPCSTR LoadListFile(LPCSTR listPath, LPDWORD bytesRead);
void UnloadListFile(LPCSTR list);
// Writes the entry of the line that ends at the scan position into the
// ENTRY_SIZE buffer and returns where that line starts, or null when it is
// the list's first line. An entry too long for the buffer is flagged and left
// empty.
LPCSTR ReadPreviousEntry(LPCSTR listStart, LPCSTR scanPosition, LPSTR entry, LPBOOL entryTooLong);

// Uninstaller launch and wait.
HANDLE LaunchUninstaller(LPCSTR programPath, LPSTR commandLine);
void WaitForUninstaller(HANDLE process);

// Error report, on standard error.
void ReportSystemError(DWORD errorCode);
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void ReportToolError(LPCSTR format, ...);
