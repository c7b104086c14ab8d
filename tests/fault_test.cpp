// The tool end to end when something goes wrong around it: the tool or an
// uninstaller killed, and a very long batch.
#include <signal.h>

#include <thread>

#include "end_to_end_fixture.h"

namespace {

// The process id that the stand-in writes as it starts; 0 until then.
pid_t ReadProcessId(const fs::path &path) {
  std::string text = ReadBytes(path);
  if (text.empty() || text.back() != '\n') return 0;
  return static_cast<pid_t>(std::stol(text));
}

TEST_F(EndToEndTest, KillingTheToolMidBatchLeavesTheListAsItWas) {
  const std::string listBytes = "one\r\ntwo\r\nthree\r\n";
  fs::path pidFile = dir / "uninstaller.pid";
  environment["STAND_IN_PID_FILE"] = pidFile.string();
  environment["STAND_IN_SLEEP_MS"] = "60000";
  WriteBytes(list, listBytes);

  pid_t tool = StartTool({list.string()});
  pid_t uninstaller = 0;
  for (int tries = 0; tries < 3000 && !uninstaller; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    uninstaller = ReadProcessId(pidFile);
  }
  kill(tool, SIGKILL);
  ToolResult result = WaitForTool(tool);
  ASSERT_NE(uninstaller, 0) << "the first uninstaller run never started";
  // The orphaned uninstaller is no longer the tool's to wait for.
  kill(uninstaller, SIGKILL);

  EXPECT_TRUE(WIFSIGNALED(result.status) && WTERMSIG(result.status) == SIGKILL);
  EXPECT_EQ(ReadBytes(list), listBytes);
  EXPECT_EQ(Runs().size(), 0u);
}

TEST_F(EndToEndTest, GoesOnWhenAnUninstallerIsKilledBySignal) {
  environment["STAND_IN_SIGNAL"] = std::to_string(SIGKILL);
  WriteBytes(list, "one\r\ntwo\r\nthree\r\n");
  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(RunArguments(), (std::vector<std::vector<std::string>>{
                                ArgumentsFor("three"), ArgumentsFor("two"), ArgumentsFor("one")}));
  EXPECT_FALSE(fs::exists(list));
}

TEST_F(EndToEndTest, RunsALongBatchToItsEndInOrderWithoutHandingOnTheList) {
  const int entryCount = 20000;
  std::string listBytes;
  for (int i = 0; i < entryCount; ++i) listBytes += "C:\\logs\\" + std::to_string(i) + ".log\r\n";
  WriteBytes(list, listBytes);
  fs::path descriptorLog = dir / "descriptors.log";
  environment["STAND_IN_FD_LOG"] = descriptorLog.string();

  ToolResult result = RunTool({list.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
  std::vector<std::vector<std::string>> runs = RunArguments();
  ASSERT_EQ(runs.size(), static_cast<size_t>(entryCount));
  for (int i = 0; i < entryCount; ++i) {
    std::vector<std::string> expected =
        ArgumentsFor("C:\\logs\\" + std::to_string(entryCount - 1 - i) + ".log");
    ASSERT_EQ(runs[i], expected) << "run " << i;
  }
  std::istringstream descriptorLines(ReadBytes(descriptorLog));
  int listed = 0;
  for (std::string line; std::getline(descriptorLines, line); ++listed) {
    ASSERT_EQ(line.rfind("open:", 0), 0u) << line;
    ASSERT_EQ(line.find(list.string()), std::string::npos)
        << "uninstaller run " << listed << " was handed a descriptor of the list: " << line;
  }
  EXPECT_EQ(listed, entryCount);
  EXPECT_FALSE(fs::exists(list));
}

}  // namespace
