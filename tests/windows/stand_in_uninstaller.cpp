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

#include <string>

static DWORD EnvironmentNumber(LPCSTR name) {
  const char *value = getenv(name);
  return value ? strtoul(value, nullptr, 10) : 0;
}

static LONGLONG Now() {
  LARGE_INTEGER ticks;
  QueryPerformanceCounter(&ticks);
  return ticks.QuadPart;
}

static std::string HexArguments(int argc, char **argv) {
  std::string line;
  char digits[3];
  for (int i = 0; i < argc; ++i) {
    line += i ? " x" : "x";
    for (const char *c = argv[i]; *c; ++c) {
      snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(*c));
      line += digits;
    }
  }
  return line;
}

// Appends the line to the file that the variable names, if it names one;
// FALSE when that file cannot be written.
static BOOL AppendLine(LPCSTR variable, const std::string &line) {
  const char *path = getenv(variable);
  if (!path) return TRUE;
  FILE *log = fopen(path, "ab");
  if (!log) return FALSE;
  fprintf(log, "%s\n", line.c_str());
  fclose(log);
  return TRUE;
}

int main(int argc, char **argv) {
  LONGLONG start = Now();
  Sleep(EnvironmentNumber("STAND_IN_SLEEP_MS"));
  if (const char *doomed = getenv("STAND_IN_DELETE")) DeleteFileA(doomed);
  std::string times = std::to_string(start) + " " + std::to_string(Now());
  if (!AppendLine("STAND_IN_LOG", GetCommandLineA()) ||
      !AppendLine("STAND_IN_ARGV_LOG", HexArguments(argc, argv)) ||
      !AppendLine("STAND_IN_TIMES_LOG", times))
    return 100;
  return static_cast<int>(EnvironmentNumber("STAND_IN_EXIT_CODE"));
}
