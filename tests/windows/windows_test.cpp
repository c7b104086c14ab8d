// The tool on Windows: what only Windows has (the child's command line as
// the system hands it over, messages dispatched while the tool waits, exit
// code 259, share modes, the system's own error texts), then the built
// program run as a process. The stand-in uninstaller is installed as
// Dolm0411.exe in the Windows directory, which every test here shares, so
// the tests run one after another.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "batchuninst.h"
#include "windows_support.h"

namespace {

std::string WindowsDirectory() {
  CHAR directory[MAX_PATH];
  GetWindowsDirectoryA(directory, MAX_PATH);
  return directory;
}

// The command line that the uninstaller gets for an entry.
std::string CommandLineFor(const std::string &entry) {
  return "C:\\windows\\Dolm0411.exe -y -f\"" + entry + "\"";
}

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        CopyFileA(StandInPath().c_str(), (WindowsDirectory() + "\\Dolm0411.exe").c_str(), FALSE))
        << GetLastError();
    SetEnvironmentVariableA("STAND_IN_LOG", log.string().c_str());
  }
  void TearDown() override {
    for (const char *name : {"STAND_IN_LOG", "STAND_IN_SLEEP_MS", "STAND_IN_EXIT_CODE",
                             "STAND_IN_DELETE", "STAND_IN_TIMES_LOG"})
      SetEnvironmentVariableA(name, nullptr);
    fs::remove_all(dir);
  }

  fs::path dir = MakeTempDir();
  fs::path list = dir / "uninstall.lst";
  fs::path log = dir / "runs.log";
};

TEST_F(WindowsTest, TheChildGetsItsCommandLineByteForByte) {
  const char *entries[] = {"C:\\logs\\app.log", "", "C:\\Program Files\\My App\\uninst.log",
                           "a\"b"};
  std::string listBytes;
  for (const char *entry : entries) listBytes += std::string(entry) + "\r\n";
  WriteBytes(list, listBytes);

  EXPECT_TRUE(RunUninstallList(list.string().c_str()));
  std::vector<std::string> expected;
  for (int i = 3; i >= 0; --i) expected.push_back(CommandLineFor(entries[i]));
  EXPECT_EQ(Lines(log), expected);
  EXPECT_FALSE(fs::exists(list));
}

// What the test window and timer saw while the tool waited.
std::vector<WPARAM> receivedMessages;
int timerTicks = 0;

LRESULT CALLBACK RecordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    receivedMessages.push_back(wParam);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

TEST_F(WindowsTest, DispatchesMessagesInOrderWhileWaitingAndEndsWithTheChild) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = RecordMessage;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "BatchUninstTestWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr) << GetLastError();
  receivedMessages.clear();
  timerTicks = 0;
  for (WPARAM i = 0; i < 5; ++i) PostMessageA(window, WM_APP, i, 0);
  UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
  SetEnvironmentVariableA("STAND_IN_SLEEP_MS", "600");

  CHAR programPath[PROGRAM_PATH_SIZE];
  CHAR commandLine[COMMAND_LINE_SIZE];
  ComposeProgramPath(programPath, "C:\\windows");
  ComposeCommandLine(commandLine, "C:\\windows", "waited.log");
  HANDLE process = LaunchUninstaller(programPath, commandLine);
  ASSERT_NE(process, nullptr);
  WaitForUninstaller(process);
  KillTimer(nullptr, timer);
  DestroyWindow(window);

  EXPECT_EQ(receivedMessages, (std::vector<WPARAM>{0, 1, 2, 3, 4}));
  EXPECT_GE(timerTicks, 3) << "the timer's messages were not dispatched during the wait";
  // The child writes its line as it ends, so the wait lasted to its end.
  EXPECT_EQ(Lines(log).size(), 1u);
}

TEST_F(WindowsTest, AChildThatExitsWith259EndsTheWaitLikeAnyOther) {
  SetEnvironmentVariableA("STAND_IN_EXIT_CODE", "259");
  WriteBytes(list, "one\r\ntwo\r\n");
  EXPECT_TRUE(RunUninstallList(list.string().c_str()));
  EXPECT_EQ(Lines(log).size(), 2u);
  EXPECT_FALSE(fs::exists(list));
}

TEST_F(WindowsTest, AListHeldOpenForWritingIsRefusedWithTheSystemsText) {
  WriteBytes(list, "one\r\n");
  HANDLE writer = CreateFileA(list.string().c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE) << GetLastError();
  ::testing::internal::CaptureStderr();
  BOOL ran = RunUninstallList(list.string().c_str());
  std::string reported = ::testing::internal::GetCapturedStderr();
  CloseHandle(writer);

  EXPECT_FALSE(ran);
  EXPECT_EQ(reported, SystemText(ERROR_SHARING_VIOLATION) + "\n");
  EXPECT_FALSE(fs::exists(log));
  EXPECT_EQ(ReadBytes(list), "one\r\n");
}

TEST_F(WindowsTest, AMissingListGivesTheSystemsTextForFileNotFound) {
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(RunUninstallList(list.string().c_str()));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), SystemText(ERROR_FILE_NOT_FOUND) + "\n");
  EXPECT_FALSE(fs::exists(log));
}

// The built program as a Windows process: its exit code and what it wrote.
struct ProcessResult {
  DWORD exitCode;
  std::string out;
  std::string err;
};

HANDLE CreateInheritableFile(const fs::path &path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

ProcessResult RunTool(const std::string &arguments, const fs::path &dir) {
  std::string program = PathBesideTests("batchuninst.exe");
  std::string commandLine = "batchuninst.exe" + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = CreateInheritableFile(dir / "stdout");
  startup.hStdError = CreateInheritableFile(dir / "stderr");
  PROCESS_INFORMATION process = {};
  ProcessResult result = {};
  if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    ADD_FAILURE() << "cannot start " << program << ": " << GetLastError();
  }
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  result.out = ReadBytes(dir / "stdout");
  result.err = ReadBytes(dir / "stderr");
  return result;
}

struct ToolCase {
  const char *name;
  enum { WRITTEN, MISSING, FOLDER } listKind;
  std::string listBytes;
  const char *arguments;  // after the program; LIST stands for the list's path
  enum { STAND_IN, NO_UNINSTALLER, NOT_A_PROGRAM } uninstaller;
  const char *exitCodeOfUninstaller;
  DWORD exitCode;
  std::string out;
  std::string err;  // LIST stands for the list's path
  std::vector<std::string> entriesRun;
  bool listKept;
};

void PrintTo(const ToolCase &c, std::ostream *out) { *out << c.name; }

std::string WithListPath(std::string text, const fs::path &list) {
  for (size_t at; (at = text.find("LIST")) != std::string::npos;)
    text.replace(at, 4, list.string());
  return text;
}

// The program's standard streams are in text mode: each LF goes out as CR LF.
std::string AsWrittenInTextMode(const std::string &text) {
  std::string written;
  for (char c : text) written += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return written;
}

const std::string USAGE =
    "usege : batchuninst.exe LogListFileName\nexample :\n\tbatchuninst.exe Kelbo.log\n";
const std::string OVERLONG = std::string(264, 'L');

const std::string FILE_NOT_FOUND = SystemText(ERROR_FILE_NOT_FOUND) + "\n";
const std::string BAD_EXE_FORMAT = SystemText(ERROR_BAD_EXE_FORMAT) + "\n";

// One case a row: list, arguments, uninstaller and its exit code, then what
// the tool must do.
// clang-format off
const ToolCase TOOL_CASES[] = {
    {"batch", ToolCase::WRITTEN, "one\r\nC:\\Program Files\\two.log\r\n\r\nfour\r\n", " LIST",
     ToolCase::STAND_IN, "0", 1, "", "", {"four", "", "C:\\Program Files\\two.log", "one"}, false},
    {"lf_only_and_no_final_line_end", ToolCase::WRITTEN, "one\ntwo", " \"LIST\"",
     ToolCase::STAND_IN, "0", 1, "", "", {"two", "one"}, false},
    {"no_argument", ToolCase::WRITTEN, "one\r\n", "",
     ToolCase::STAND_IN, "0", 0xFFFFFFFF, USAGE, "", {}, true},
    {"two_arguments", ToolCase::WRITTEN, "one\r\n", " LIST extra",
     ToolCase::STAND_IN, "0", 0xFFFFFFFF, USAGE, "", {}, true},
    {"three_arguments", ToolCase::WRITTEN, "one\r\n", " LIST extra more",
     ToolCase::STAND_IN, "0", 0xFFFFFFFF, USAGE, "", {}, true},
    {"empty_list", ToolCase::WRITTEN, "", " LIST",
     ToolCase::STAND_IN, "0", 1, "", "The uninstall list LIST is empty; nothing is run.\n", {}, true},
    {"missing_list", ToolCase::MISSING, "", " LIST",
     ToolCase::STAND_IN, "0", 1, "", FILE_NOT_FOUND, {}, false},
    {"folder_as_list", ToolCase::FOLDER, "", " LIST",
     ToolCase::STAND_IN, "0", 1, "", SystemText(ERROR_ACCESS_DENIED) + "\n", {}, true},
    {"overlong_line", ToolCase::WRITTEN, "first\r\n" + OVERLONG + "\r\nlast\r\n", " LIST",
     ToolCase::STAND_IN, "0", 1, "",
     "The uninstall list line at byte 7 is longer than 263 bytes; it is not run.\n",
     {"last", "first"}, false},
    {"uninstaller_exits_with_3", ToolCase::WRITTEN, "one\r\ntwo\r\n", " LIST",
     ToolCase::STAND_IN, "3", 1, "", "", {"two", "one"}, false},
    {"no_uninstaller", ToolCase::WRITTEN, "one\r\ntwo\r\n", " LIST",
     ToolCase::NO_UNINSTALLER, "0", 1, "", FILE_NOT_FOUND + FILE_NOT_FOUND, {}, false},
    {"uninstaller_not_a_program", ToolCase::WRITTEN, "one\r\ntwo\r\n", " LIST",
     ToolCase::NOT_A_PROGRAM, "0", 1, "", BAD_EXE_FORMAT + BAD_EXE_FORMAT, {}, false},
};
// clang-format on

class ToolProcessTest : public WindowsTest, public ::testing::WithParamInterface<ToolCase> {};

TEST_P(ToolProcessTest, RunsOrRefusesAsAProcess) {
  const ToolCase &c = GetParam();
  if (c.listKind == ToolCase::FOLDER) fs::create_directory(list);
  if (c.listKind == ToolCase::WRITTEN) WriteBytes(list, c.listBytes);
  std::string uninstaller = WindowsDirectory() + "\\Dolm0411.exe";
  if (c.uninstaller != ToolCase::STAND_IN) DeleteFileA(uninstaller.c_str());
  if (c.uninstaller == ToolCase::NOT_A_PROGRAM) WriteBytes(uninstaller, "plain text");
  SetEnvironmentVariableA("STAND_IN_EXIT_CODE", c.exitCodeOfUninstaller);
  std::string listBefore = fs::is_regular_file(list) ? ReadBytes(list) : "";

  ProcessResult result = RunTool(WithListPath(c.arguments, list), dir);
  EXPECT_EQ(result.exitCode, c.exitCode);
  EXPECT_EQ(result.out, AsWrittenInTextMode(c.out));
  EXPECT_EQ(result.err, AsWrittenInTextMode(WithListPath(c.err, list)));
  std::vector<std::string> expectedRuns;
  for (const std::string &entry : c.entriesRun) expectedRuns.push_back(CommandLineFor(entry));
  EXPECT_EQ(Lines(log), expectedRuns);
  EXPECT_EQ(fs::exists(list), c.listKept);
  if (fs::is_regular_file(list)) {
    EXPECT_EQ(ReadBytes(list), listBefore);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolProcessTest, ::testing::ValuesIn(TOOL_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(WindowsTest, RunsOneUninstallerAtATimeEachToItsEnd) {
  fs::path times = dir / "times.log";
  SetEnvironmentVariableA("STAND_IN_TIMES_LOG", times.string().c_str());
  SetEnvironmentVariableA("STAND_IN_SLEEP_MS", "150");
  WriteBytes(list, "one\r\ntwo\r\nthree\r\n");
  ProcessResult result = RunTool(" " + list.string(), dir);
  EXPECT_EQ(result.exitCode, 1u);

  std::vector<std::pair<long long, long long>> runs;
  std::ifstream in(times);
  for (long long start, end; in >> start >> end;) runs.emplace_back(start, end);
  ASSERT_EQ(runs.size(), 3u);
  for (size_t i = 0; i + 1 < runs.size(); ++i)
    EXPECT_LE(runs[i].second, runs[i + 1].first) << "run " << i << " overlaps the next";
  EXPECT_FALSE(fs::exists(list));
}

TEST_F(WindowsTest, ReportsAFailedDeletionOfTheList) {
  SetEnvironmentVariableA("STAND_IN_DELETE", list.string().c_str());  // gone before the tool's turn
  WriteBytes(list, "one\r\n");
  ProcessResult result = RunTool(" " + list.string(), dir);
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(result.err, AsWrittenInTextMode(SystemText(ERROR_FILE_NOT_FOUND) + "\n"));
  EXPECT_EQ(Lines(log), (std::vector<std::string>{CommandLineFor("one")}));
}

}  // namespace
