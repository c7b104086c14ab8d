// Stands in for the uninstaller in the Windows tests. Each run appends its
// command line, exactly as the system hands it over, as one line to the file
// that STAND_IN_LOG names, and its arguments as the C runtime split them,
// each as x<hex>, as one line to the file that STAND_IN_ARGV_LOG names.
// STAND_IN_SLEEP_MS makes the run last that long and STAND_IN_EXIT_CODE sets
// its exit code.
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

int main(int argc, char **argv) {
  Sleep(EnvironmentNumber("STAND_IN_SLEEP_MS"));
  if (const char *logPath = getenv("STAND_IN_LOG")) {
    FILE *log = fopen(logPath, "ab");
    if (!log) return 100;
    fprintf(log, "%s\n", GetCommandLineA());
    fclose(log);
  }
  if (const char *argvLogPath = getenv("STAND_IN_ARGV_LOG")) {
    if (!AppendArguments(argvLogPath, argc, argv)) return 100;
  }
  return static_cast<int>(EnvironmentNumber("STAND_IN_EXIT_CODE"));
}
