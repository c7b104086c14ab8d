// Stands in for the uninstaller in the Windows tests. Each run appends its
// command line, exactly as the system hands it over, as one line to the file
// that STAND_IN_LOG names. STAND_IN_SLEEP_MS makes the run last that long and
// STAND_IN_EXIT_CODE sets its exit code.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static DWORD EnvironmentNumber(LPCSTR name) {
  const char *value = getenv(name);
  return value ? strtoul(value, nullptr, 10) : 0;
}

int main() {
  Sleep(EnvironmentNumber("STAND_IN_SLEEP_MS"));
  if (const char *logPath = getenv("STAND_IN_LOG")) {
    FILE *log = fopen(logPath, "ab");
    if (!log) return 100;
    fprintf(log, "%s\n", GetCommandLineA());
    fclose(log);
  }
  return static_cast<int>(EnvironmentNumber("STAND_IN_EXIT_CODE"));
}
