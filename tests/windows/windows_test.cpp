// What only Windows has: the child's command line as the system hands it
// over, messages dispatched while the tool waits, exit code 259, share
// modes and the system's own error texts. The stand-in uninstaller is
// installed as Dolm0411.exe in the Windows directory, which every test here
// shares, so the tests run one after another.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "batchuninst.h"
#include "test_support.h"

namespace {

std::string WindowsDirectory() {
  CHAR directory[MAX_PATH];
  GetWindowsDirectoryA(directory, MAX_PATH);
  return directory;
}

// The stand-in uninstaller is built beside this test program.
std::string StandInPath() {
  CHAR path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, length);
  return self.substr(0, self.find_last_of('\\') + 1) + "stand_in_uninstaller.exe";
}

// The system's text for an error code, as FormatMessageA gives it.
std::string SystemText(DWORD errorCode) {
  LPSTR text = nullptr;
  FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text),
      0, nullptr);
  std::string result = text ? text : "";
  LocalFree(text);
  return result;
}

std::vector<std::string> Lines(const fs::path &path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
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
    for (const char *name : {"STAND_IN_LOG", "STAND_IN_SLEEP_MS", "STAND_IN_EXIT_CODE"})
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
  for (int i = 3; i >= 0; --i)
    expected.push_back(std::string("C:\\windows\\Dolm0411.exe -y -f\"") + entries[i] + "\"");
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

}  // namespace
