#include <gtest/gtest.h>

#include <string>

#include "batchuninst.h"
#include "test_support.h"

namespace {

struct CommandCase {
  const char *name;
  std::string directory;
  std::string entry;
  std::string expected;  // empty: refused
};

// The fixed text of a command adds 21 characters, so directory and entry
// together may hold 502 of the buffer's 523.
const std::string DIRECTORY_240 = "C:\\" + Repeat('d', 237);

const CommandCase COMMAND_CASES[] = {
    {"windows_directory", "C:\\WINDOWS", "C:\\logs\\app.log",
     "C:\\WINDOWS\\Dolm0411.exe -y -f\"C:\\logs\\app.log\""},
    {"drive_root_without_its_backslash", "C:", "x.log", "C:\\Dolm0411.exe -y -f\"x.log\""},
    {"empty_entry", "C:\\WINDOWS", "", "C:\\WINDOWS\\Dolm0411.exe -y -f\"\""},
    {"spaces_inserted_unchanged", "C:\\WINDOWS", "C:\\Program Files\\a b.log",
     "C:\\WINDOWS\\Dolm0411.exe -y -f\"C:\\Program Files\\a b.log\""},
    {"quotes_inserted_unchanged", "C:\\WINDOWS", "a\"b\"",
     "C:\\WINDOWS\\Dolm0411.exe -y -f\"a\"b\"\""},
    {"trailing_backslash_inserted_unchanged", "C:\\WINDOWS", "C:\\logs\\",
     "C:\\WINDOWS\\Dolm0411.exe -y -f\"C:\\logs\\\""},
    {"longest_that_fits", DIRECTORY_240, Repeat('e', 262),
     DIRECTORY_240 + "\\Dolm0411.exe -y -f\"" + Repeat('e', 262) + "\""},
    {"one_character_too_long", DIRECTORY_240, Repeat('e', 263), ""},
    {"overlong_directory_alone", Repeat('d', 503), "", ""},
};

void PrintTo(const CommandCase &c, std::ostream *out) { *out << c.name; }

class ComposeCommandLineTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ComposeCommandLineTest, ComposesOrRefuses) {
  const CommandCase &c = GetParam();
  CHAR commandLine[COMMAND_LINE_SIZE];
  LPSTR composed = ComposeCommandLine(commandLine, c.directory.c_str(), c.entry.c_str());
  if (c.expected.empty()) {
    EXPECT_EQ(composed, nullptr);
  } else {
    ASSERT_EQ(composed, commandLine);
    EXPECT_EQ(std::string(commandLine), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, ComposeCommandLineTest, ::testing::ValuesIn(COMMAND_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ComposeProgramPathTest, LongestWindowsDirectoryFits) {
  std::string directory = "C:\\" + Repeat('d', MAX_PATH - 4);
  CHAR programPath[PROGRAM_PATH_SIZE];
  EXPECT_EQ(std::string(ComposeProgramPath(programPath, directory.c_str())),
            directory + "\\Dolm0411.exe");
}

TEST(PrintUsageTest, WritesTheThreeUsageLines) {
  ::testing::internal::CaptureStdout();
  PrintUsage("tool.exe");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "usege : tool.exe LogListFileName\nexample :\n\ttool.exe Kelbo.log\n");
}

}  // namespace
