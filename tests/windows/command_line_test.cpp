// The POSIX layer splits command lines the way the Microsoft C runtime does;
// here its splitting is held against the runtime's own, line by line: each
// line is handed to a real Windows process, which logs the argv it got.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

// By its path: the layer's folder also holds a windows.h of its own, which
// must not stand in for the system's here.
#include "../../platform/posix/commandline.h"
#include "batchuninst.h"
#include "windows_support.h"

namespace {

// What follows the program in each command line.
const char *const ARGUMENT_LINES[] = {
    "a b",
    "",
    " \t a\t\tb \t ",
    "-y -f\"C:\\Program Files\\x.log\"",
    "\"a b\" c",
    "a\"b c\"d e",
    "\"a\"\"b\"",
    "\"\"\"\"",
    "\"a\"\"\" b",
    "\"\"",
    "\"\" \"\" x",
    "-f\"\"",
    "a\\b a\\\\b",
    "a\\\"b",
    "a\\\\\"b c\"",
    "a\\\\\\\"b",
    "ab\\\\ c\\",
    "\"ab\\\\\"",
    "-f\"C:\\logs\\\"",
    "-f\"C:\\logs\\\\\"",
    "\"a\tb\" c",
    "\"unclosed quote",
    "\"unclosed \\\"escaped",
    "-f\"a\"b c\"",
};

// The argv that a Windows program gets for this command line.
std::vector<std::string> RuntimeArguments(const std::string &commandLine, const fs::path &log) {
  fs::remove(log);
  SetEnvironmentVariableA("STAND_IN_ARGV_LOG", log.string().c_str());
  std::string program = StandInPath();
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  WaitForUninstaller(LaunchUninstaller(program.c_str(), line.data()));
  SetEnvironmentVariableA("STAND_IN_ARGV_LOG", nullptr);

  std::vector<std::string> arguments;
  std::ifstream in(log, std::ios::binary);
  for (std::string field; in >> field;) arguments.push_back(Unhex(field.substr(1)));
  return arguments;
}

TEST(CommandLineTest, TheLayersSplittingAgreesWithTheRuntimes) {
  fs::path dir = MakeTempDir();
  for (const char *arguments : ARGUMENT_LINES) {
    std::string commandLine = "\"" + StandInPath() + "\" " + arguments;
    EXPECT_EQ(SplitCommandLine(commandLine.c_str()), RuntimeArguments(commandLine, dir / "argv"))
        << commandLine;
  }
  fs::remove_all(dir);
}

}  // namespace
