// The subset of the Win32 interface that batchuninst calls, for building and
// testing it off Windows. Each declaration is written from what the tool needs
// of the call; the implementations beside this header map them onto POSIX.
#pragma once

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>

typedef int BOOL;
typedef BOOL *LPBOOL;
typedef char CHAR;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef DWORD *LPDWORD;
typedef unsigned int UINT;
typedef size_t SIZE_T;
typedef intptr_t LRESULT;
typedef void *LPVOID;
typedef const void *LPCVOID;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef void *HANDLE;
typedef HANDLE HGLOBAL;
typedef HANDLE HLOCAL;
typedef HANDLE HWND;

#define WINAPI
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INFINITE 0xFFFFFFFFu
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

// Error codes. The layer reports errno values as they stand; codes that have
// no errno counterpart carry bit 29, which Windows leaves to applications.
#define NO_ERROR 0u
#define ERROR_WINDIR_NOT_SET 0x20000001u
#define ERROR_EMPTY_BLOCK 0x20000002u

DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD errorCode);

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(primary, sub) ((((WORD)(sub)) << 10) | (WORD)(primary))

// Supports FROM_SYSTEM with ALLOCATE_BUFFER only: *(LPSTR *)buffer receives
// a text that LocalFree releases.
DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId,
                            LPSTR buffer, DWORD size, va_list *arguments);
HLOCAL WINAPI LocalFree(HLOCAL memory);

// Files. POSIX has no share modes: the share mode is accepted and ignored.
typedef struct _SECURITY_ATTRIBUTES SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;
typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;

#define GENERIC_READ 0x80000000u
#define FILE_SHARE_READ 0x00000001u
#define OPEN_EXISTING 3u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define INVALID_FILE_SIZE 0xFFFFFFFFu

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                          HANDLE templateFile);
DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh);
BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED overlapped);
BOOL WINAPI DeleteFileA(LPCSTR path);
BOOL WINAPI CloseHandle(HANDLE object);

// Global memory: one zero-filled block per handle, locked in place.
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID WINAPI GlobalLock(HGLOBAL memory);
HGLOBAL WINAPI GlobalHandle(LPCVOID address);
BOOL WINAPI GlobalUnlock(HGLOBAL memory);
HGLOBAL WINAPI GlobalFree(HGLOBAL memory);

// Strings.
int WINAPI lstrlenA(LPCSTR text);
int WINAPI wsprintfA(LPSTR buffer, LPCSTR format, ...);

// The Windows directory comes from the WINDIR environment variable.
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size);

// Processes.
#define NORMAL_PRIORITY_CLASS 0x00000020u
#define CREATE_SEPARATE_WOW_VDM 0x00000800u
#define STILL_ACTIVE 259u

typedef struct _STARTUPINFOA {
  DWORD cb;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// Splits the command line as the Microsoft C runtime does and starts the
// program without a PATH search; the child gets the caller's environment,
// current directory and standard streams. Environment and directory
// arguments other than null are not supported.
BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                           LPSECURITY_ATTRIBUTES processSecurity,
                           LPSECURITY_ATTRIBUTES threadSecurity, BOOL inheritHandles,
                           DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                           LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation);
BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode);

// Waiting and messages. There is no thread message queue here, so a wait
// ends only when the process does and no message is ever found.
#define WAIT_OBJECT_0 0u
#define WAIT_FAILED 0xFFFFFFFFu
#define QS_ALLINPUT 0x04FFu
#define PM_REMOVE 0x0001u

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
} MSG, *LPMSG;

DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL waitAll,
                                       DWORD milliseconds, DWORD wakeMask);
BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax,
                         UINT removeFlags);
BOOL WINAPI TranslateMessage(const MSG *message);
LRESULT WINAPI DispatchMessageA(const MSG *message);
