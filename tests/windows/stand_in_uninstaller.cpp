// Stands in for the uninstaller in the Windows tests. Each run appends its
// command line, exactly as the system hands it over, as one line to the file
// that STAND_IN_LOG names, and its arguments as the C runtime split them,
// each as x<hex>, as one line to the file that STAND_IN_ARGV_LOG names.
// STAND_IN_TIMES_LOG names a file that it appends its start and end to, in
// performance-counter ticks. STAND_IN_SLEEP_MS makes the run last that long,
// STAND_IN_EXIT_CODE sets its exit code and STAND_IN_DELETE names a file that
// it deletes.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static DWORD EnvironmentNumber(LPCSTR name) {
  const char *value = getenv(name);
  return value ? strtoul(value, nullptr, 10) : 0;
}

static BOOL AppendArguments(LPCSTR logPath, int argc, char **argv) {
  FILE *log = fopen(logPath, "ab");
  if (!log) return FALSE;
  for (int i = 0; i < argc; ++i) {
    fputs(i ? " x" : "x", log);
    for (const char *c = argv[i]; *c; ++c) fprintf(log, "%02x", static_cast<unsigned char>(*c));
  }
  fputc('\n', log);
  fclose(log);
  return TRUE;
}

static LONGLONG Now() {
  LARGE_INTEGER ticks;
  QueryPerformanceCounter(&ticks);
  return ticks.QuadPart;
}

int main(int argc, char **argv) {
  LONGLONG start = Now();
  Sleep(EnvironmentNumber("STAND_IN_SLEEP_MS"));
  if (const char *doomed = getenv("STAND_IN_DELETE")) DeleteFileA(doomed);
  if (const char *logPath = getenv("STAND_IN_LOG")) {
    FILE *log = fopen(logPath, "ab");
    if (!log) return 100;
    fprintf(log, "%s\n", GetCommandLineA());
    fclose(log);
  }
  if (const char *argvLogPath = getenv("STAND_IN_ARGV_LOG")) {
    if (!AppendArguments(argvLogPath, argc, argv)) return 100;
  }
  if (const char *timesLogPath = getenv("STAND_IN_TIMES_LOG")) {
    FILE *log = fopen(timesLogPath, "ab");
    if (!log) return 100;
    fprintf(log, "%lld %lld\n", static_cast<long long>(start), static_cast<long long>(Now()));
    fclose(log);
  }
  return static_cast<int>(EnvironmentNumber("STAND_IN_EXIT_CODE"));
}
