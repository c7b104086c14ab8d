// The tool end to end: what a user sees of a batch, and every refusal.
#include "end_to_end_fixture.h"

namespace {

TEST_F(EndToEndTest, RunsEveryEntryLastLineFirstThenDeletesTheList) {
  WriteBytes(list, "C:\\logs\\one.log\r\nC:\\Program Files\\two.log\r\n\r\nfour.log\r\n");
  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(RunArguments(),
            (std::vector<std::vector<std::string>>{ArgumentsFor("four.log"), ArgumentsFor(""),
                                                   ArgumentsFor("C:\\Program Files\\two.log"),
                                                   ArgumentsFor("C:\\logs\\one.log")}));
  EXPECT_FALSE(fs::exists(list));
}

TEST_F(EndToEndTest, EntriesReachTheUninstallerAsWindowsSplitsTheirCommandLine) {
  // The entry goes between the quotes unchanged, so its own quotes and a
  // backslash before the closing quote change how the line splits.
  WriteBytes(list, "a\"b c\r\nC:\\logs\\\r\ntab\there\nlf only\n");
  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  std::string program = windowsDir.string() + "\\Dolm0411.exe";
  EXPECT_EQ(RunArguments(), (std::vector<std::vector<std::string>>{{program, "-y", "-flf only"},
                                                                   {program, "-y", "-ftab\there"},
                                                                   {program, "-y", "-fC:\\logs\""},
                                                                   {program, "-y", "-fab", "c"}}));
}

TEST_F(EndToEndTest, RunsOneUninstallerAtATimeEachToItsEnd) {
  environment["STAND_IN_SLEEP_MS"] = "150";
  WriteBytes(list, "one\r\ntwo\r\nthree\r\n");
  ToolResult result = RunTool({list.string()});
  std::vector<UninstallerRun> runs = Runs();
  ASSERT_EQ(runs.size(), 3u);
  for (size_t i = 0; i + 1 < runs.size(); ++i)
    EXPECT_LE(runs[i].end, runs[i + 1].start) << "run " << i << " overlaps the next";
  EXPECT_LE(runs.back().end, result.endedAt);
  EXPECT_FALSE(fs::exists(list));
}

class UsageTest : public EndToEndTest, public ::testing::WithParamInterface<int> {};

TEST_P(UsageTest, PrintsTheUsageTextForAnyOtherNumberOfArguments) {
  WriteBytes(list, "one\r\n");
  std::vector<std::string> arguments;
  for (int i = 0; i < GetParam(); ++i) arguments.push_back(i == 0 ? list.string() : "extra");
  ToolResult result = RunTool(arguments);
  EXPECT_EQ(result.status, 255);
  EXPECT_EQ(result.out, std::string("usege : ") + BATCHUNINST_PATH + " LogListFileName\n" +
                            "example :\n\t" + BATCHUNINST_PATH + " Kelbo.log\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Runs().size(), 0u);
  EXPECT_EQ(ReadBytes(list), "one\r\n");
}

INSTANTIATE_TEST_SUITE_P(ArgumentCounts, UsageTest, ::testing::Values(0, 2, 3));

struct RefusedBatch {
  const char *name;
  enum { MISSING_LIST, EMPTY_LIST, FOLDER_AS_LIST, WINDIR_UNSET, WINDIR_TOO_LONG } kind;
};

void PrintTo(const RefusedBatch &c, std::ostream *out) { *out << c.name; }

class RefusedBatchTest : public EndToEndTest, public ::testing::WithParamInterface<RefusedBatch> {};

TEST_P(RefusedBatchTest, ReportsRunsNothingAndKeepsTheList) {
  std::string expectedError;
  WriteBytes(list, "one\r\n");
  switch (GetParam().kind) {
    case RefusedBatch::MISSING_LIST:
      fs::remove(list);
      expectedError = std::string(strerror(ENOENT)) + "\n";
      break;
    case RefusedBatch::EMPTY_LIST:
      WriteBytes(list, "");
      expectedError = "The uninstall list " + list.string() + " is empty; nothing is run.\n";
      break;
    case RefusedBatch::FOLDER_AS_LIST:
      fs::remove(list);
      fs::create_directory(list);
      expectedError = std::string(strerror(EISDIR)) + "\n";
      break;
    case RefusedBatch::WINDIR_UNSET:
      environment.erase("WINDIR");
      expectedError =
          "The WINDIR environment variable, which names the Windows directory, is not set or is "
          "empty.\n";
      break;
    case RefusedBatch::WINDIR_TOO_LONG:
      environment["WINDIR"] = "/" + Repeat('w', 259);
      expectedError = "The Windows directory is longer than 259 characters; nothing is run.\n";
      break;
  }
  bool listExisted = fs::exists(list);
  std::string listBytes = fs::is_regular_file(list) ? ReadBytes(list) : "";

  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, expectedError);
  EXPECT_EQ(Runs().size(), 0u);
  EXPECT_EQ(fs::exists(list), listExisted);
  if (fs::is_regular_file(list)) {
    EXPECT_EQ(ReadBytes(list), listBytes);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedBatchTest,
    ::testing::Values(RefusedBatch{"missing_list", RefusedBatch::MISSING_LIST},
                      RefusedBatch{"empty_list", RefusedBatch::EMPTY_LIST},
                      RefusedBatch{"folder_as_list", RefusedBatch::FOLDER_AS_LIST},
                      RefusedBatch{"windir_unset", RefusedBatch::WINDIR_UNSET},
                      RefusedBatch{"windir_too_long", RefusedBatch::WINDIR_TOO_LONG}),
    [](const auto &info) { return std::string(info.param.name); });

struct FailedStart {
  const char *name;
  const char *installed;  // what stands where the uninstaller should be; null: nothing
  int error;
};

void PrintTo(const FailedStart &c, std::ostream *out) { *out << c.name; }

class FailedStartTest : public EndToEndTest, public ::testing::WithParamInterface<FailedStart> {};

TEST_P(FailedStartTest, ReportsEachFailedStartAndStillDeletesTheList) {
  fs::remove(windowsDir / "Dolm0411.exe");
  if (GetParam().installed) WriteBytes(windowsDir / "Dolm0411.exe", GetParam().installed);
  WriteBytes(list, "one\r\ntwo\r\nthree\r\n");
  ToolResult result = RunTool({list.string()});
  std::string text = std::string(strerror(GetParam().error)) + "\n";
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, text + text + text);
  EXPECT_FALSE(fs::exists(list));
}

INSTANTIATE_TEST_SUITE_P(Uninstallers, FailedStartTest,
                         ::testing::Values(FailedStart{"missing", nullptr, ENOENT},
                                           FailedStart{"not_executable", "plain text", EACCES}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(EndToEndTest, SkipsAnOverlongLineWithAReportAndRunsTheRest) {
  WriteBytes(list, "first\r\n" + Repeat('L', 264) + "\r\n" + Repeat('M', 263) + "\r\nlast\r\n");
  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "The uninstall list line at byte 7 is longer than 263 bytes; it is not run.\n");
  EXPECT_EQ(RunArguments(),
            (std::vector<std::vector<std::string>>{
                ArgumentsFor("last"), ArgumentsFor(Repeat('M', 263)), ArgumentsFor("first")}));
  EXPECT_FALSE(fs::exists(list));
}

TEST_F(EndToEndTest, SkipsAnEntryWhoseCommandLineWouldNotFit) {
  // A Windows directory of 240 characters leaves room for entries of 262.
  fs::path deepWindows = dir / Repeat('p', 100);
  deepWindows /= Repeat('q', 240 - deepWindows.string().size() - 1);
  ASSERT_EQ(deepWindows.string().size(), 240u);
  fs::create_directories(deepWindows);
  InstallUninstaller(deepWindows);
  environment["WINDIR"] = deepWindows.string();
  WriteBytes(list, Repeat('a', 262) + "\r\n" + Repeat('b', 263) + "\r\n");

  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "The command line for the uninstall list line at byte 264 would be longer than 523 "
            "characters; it is not run.\n");
  EXPECT_EQ(RunArguments(),
            (std::vector<std::vector<std::string>>{
                {deepWindows.string() + "\\Dolm0411.exe", "-y", "-f" + Repeat('a', 262)}}));
  EXPECT_FALSE(fs::exists(list));
}

TEST_F(EndToEndTest, GoesOnWhateverTheUninstallerExitsWith) {
  environment["STAND_IN_EXIT_CODE"] = "3";
  WriteBytes(list, "one\r\ntwo\r\n");
  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Runs().size(), 2u);
  EXPECT_FALSE(fs::exists(list));
}

TEST_F(EndToEndTest, ReportsAFailedDeletionOfTheList) {
  environment["STAND_IN_DELETE"] = list.string();  // gone before the tool deletes it
  WriteBytes(list, "one\r\n");
  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, std::string(strerror(ENOENT)) + "\n");
  EXPECT_EQ(RunArguments(), (std::vector<std::vector<std::string>>{ArgumentsFor("one")}));
}

}  // namespace
