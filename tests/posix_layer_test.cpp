// The POSIX stand-in for the Win32 calls: what the tool relies on of each.
#include <errno.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "batchuninst.h"
#include "commandline.h"
#include "test_support.h"

namespace {

struct SplitCase {
  const char *commandLine;
  std::vector<std::string> arguments;
};

const SplitCase SPLIT_CASES[] = {
    {"prog a b", {"prog", "a", "b"}},
    {"prog", {"prog"}},
    {"", {""}},
    {"prog  \t a\t\tb \t ", {"prog", "a", "b"}},
    {"\"C:\\Program Files\\x.exe\" -y", {"C:\\Program Files\\x.exe", "-y"}},
    {"C:\\dir\\\"sub dir\"\\x.exe a", {"C:\\dir\\sub dir\\x.exe", "a"}},
    {"pro\"g x\" y", {"prog x", "y"}},
    {"C:\\dir\\ a", {"C:\\dir\\", "a"}},
    {"prog -y -f\"C:\\a b\\x.log\"", {"prog", "-y", "-fC:\\a b\\x.log"}},
    {"prog -f\"\"", {"prog", "-f"}},
    {"prog \"\"", {"prog", ""}},
    {"prog \"\" \"\"", {"prog", "", ""}},
    {"prog \"a\"\"b\"", {"prog", "a\"b"}},
    {"prog \"\"\"\"", {"prog", "\""}},
    {"prog \"a\"b\"c d\"", {"prog", "abc d"}},
    {"prog a\\b", {"prog", "a\\b"}},
    {"prog a\\\\b", {"prog", "a\\\\b"}},
    {"prog a\\\"b", {"prog", "a\"b"}},
    {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
    {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},
    {"prog ab\\\\", {"prog", "ab\\\\"}},
    {"prog \"ab\\\\\"", {"prog", "ab\\"}},
    {"prog -f\"C:\\logs\\\"", {"prog", "-fC:\\logs\""}},
    {"prog \"a b", {"prog", "a b"}},
    {"prog \"a\tb\" c", {"prog", "a\tb", "c"}},
    {"prog -f\"a\"b c\"", {"prog", "-fab", "c"}},
    {"prog *.log ?", {"prog", "*.log", "?"}},
};

TEST(SplitCommandLineTest, SplitsAsTheMicrosoftRuntimeDoes) {
  for (const SplitCase &c : SPLIT_CASES)
    EXPECT_EQ(SplitCommandLine(c.commandLine), c.arguments) << c.commandLine;
}

// Starts a command line, waits for its end and gives its exit code.
DWORD RunToEnd(LPCSTR applicationName, std::string commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(applicationName, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      nullptr, &startup, &process)) {
    ADD_FAILURE() << "start failed: " << strerror(static_cast<int>(GetLastError()));
    return 0;
  }
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT),
            WAIT_OBJECT_0);
  DWORD exitCode = 0;
  EXPECT_TRUE(GetExitCodeProcess(process.hProcess, &exitCode));
  EXPECT_TRUE(CloseHandle(process.hProcess));
  return exitCode;
}

TEST(CreateProcessTest, StartsTheProgramWithTheSplitArguments) {
  // The application name wins over the first token, with slashes for backslashes.
  EXPECT_EQ(RunToEnd("\\bin\\sh", "ignored -c \"exit 7\""), 7u);
  EXPECT_EQ(RunToEnd(nullptr, "\\bin\\sh -c \"exit \\\"3\\\"\""), 3u);
  EXPECT_EQ(RunToEnd("/bin/sh", "sh -c \"kill -9 $$\""), 128u + 9u);
}

TEST(CreateProcessTest, ReportsARunningProcessAsStillActive) {
  std::string commandLine = "sh -c \"sleep 0.3\"";
  STARTUPINFOA startup = {};
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA("/bin/sh", commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &startup, &process));
  DWORD exitCode = 0;
  EXPECT_TRUE(GetExitCodeProcess(process.hProcess, &exitCode));
  EXPECT_EQ(exitCode, STILL_ACTIVE);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT),
            WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(process.hProcess, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hProcess);
}

TEST(CreateProcessTest, FailsWithTheErrorCodeWhenTheProgramCannotStart) {
  fs::path dir = MakeTempDir();
  WriteBytes(dir / "plain.txt", "not a program");
  const struct {
    std::string applicationName;
    DWORD error;
  } cases[] = {
      {(dir / "missing.exe").string(), ENOENT},
      {(dir / "plain.txt").string(), EACCES},
      {"sh", ENOENT},  // relative to the current folder: PATH is never searched
  };
  for (const auto &c : cases) {
    std::string commandLine = "x";
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION process = {};
    SetLastError(NO_ERROR);
    EXPECT_FALSE(CreateProcessA(c.applicationName.c_str(), commandLine.data(), nullptr, nullptr,
                                TRUE, 0, nullptr, nullptr, &startup, &process))
        << c.applicationName;
    EXPECT_EQ(GetLastError(), c.error) << c.applicationName;
  }
  fs::remove_all(dir);
}

TEST(FilesTest, OpensReadsAndDeletesLikeWin32) {
  fs::path dir = MakeTempDir();
  fs::path list = dir / "list.lst";
  WriteBytes(list, "abc");
  HANDLE file = CreateFileA(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD sizeHigh = 1;
  EXPECT_EQ(GetFileSize(file, &sizeHigh), 3u);
  EXPECT_EQ(sizeHigh, 0u);
  char buffer[8] = {};
  DWORD bytesRead = 0;
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &bytesRead, nullptr));
  EXPECT_EQ(std::string(buffer, bytesRead), "abc");
  EXPECT_TRUE(CloseHandle(file));

  EXPECT_TRUE(DeleteFileA(list.c_str()));
  EXPECT_FALSE(DeleteFileA(list.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ENOENT));
  fs::remove_all(dir);
}

TEST(FilesTest, RefusesToOpenMissingFilesAndFolders) {
  const struct {
    const char *path;
    DWORD error;
  } cases[] = {{"/nonexistent/list.lst", ENOENT}, {"/", EISDIR}};
  for (const auto &c : cases) {
    EXPECT_EQ(CreateFileA(c.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE)
        << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
}

TEST(GlobalMemoryTest, GivesZeroFilledWritableBlocksAndCannotLockAnEmptyOne) {
  // Small blocks come from the heap, large ones from a mapping of their own.
  for (SIZE_T size : {SIZE_T{1}, SIZE_T{4096}, SIZE_T{2 * 1024 * 1024 - 48},
                      SIZE_T{2 * 1024 * 1024}, SIZE_T{5 * 1024 * 1024 + 3}}) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    ASSERT_NE(memory, nullptr) << size;
    char *bytes = static_cast<char *>(GlobalLock(memory));
    ASSERT_NE(bytes, nullptr) << size;
    EXPECT_EQ(std::string(bytes, size), std::string(size, '\0')) << size;
    bytes[0] = 'a';
    bytes[size - 1] = 'z';
    EXPECT_EQ(GlobalHandle(bytes), memory) << size;
    GlobalUnlock(memory);
    EXPECT_EQ(GlobalFree(memory), nullptr) << size;
  }

  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(GlobalLock(empty), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_EMPTY_BLOCK);
  GlobalFree(empty);
}

TEST(WindowsDirectoryTest, FollowsTheWin32Contract) {
  setenv("WINDIR", "C:\\WINDOWS", 1);
  char buffer[16] = "untouched";
  EXPECT_EQ(GetWindowsDirectoryA(buffer, 10), 11u);  // size needed, zero included
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(GetWindowsDirectoryA(buffer, 11), 10u);
  EXPECT_STREQ(buffer, "C:\\WINDOWS");

  for (bool set : {true, false}) {
    if (set)
      setenv("WINDIR", "", 1);
    else
      unsetenv("WINDIR");
    SetLastError(NO_ERROR);
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), ERROR_WINDIR_NOT_SET);
  }
}

std::string SystemText(DWORD code) {
  LPSTR text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0,
      nullptr);
  if (length == 0) return "<none>";
  std::string copy(text, length);
  LocalFree(text);
  return copy;
}

TEST(FormatMessageTest, GivesTheSystemTextForEachCode) {
  EXPECT_EQ(SystemText(ENOENT), strerror(ENOENT));
  EXPECT_EQ(SystemText(EISDIR), strerror(EISDIR));
  EXPECT_NE(SystemText(ERROR_WINDIR_NOT_SET).find("WINDIR"), std::string::npos);
  EXPECT_NE(SystemText(ERROR_EMPTY_BLOCK).find("zero bytes"), std::string::npos);
  EXPECT_EQ(SystemText(0xF0000000u), "<none>");
}

TEST(MessagesTest, FindsNoMessage) {
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

struct DirectoryCase {
  const char *value;
  const char *expected;  // null: refused
};

// The Windows directory comes from WINDIR off Windows, so the query can be
// driven through it here.
TEST(QueryWindowsDirectoryTest, DropsATrailingBackslashAndRefusesWhatDoesNotFit) {
  std::string tooLong = "/" + Repeat('w', MAX_PATH - 1);
  std::string longest = "/" + Repeat('w', MAX_PATH - 2);
  const DirectoryCase cases[] = {
      {"C:\\WINDOWS", "C:\\WINDOWS"},
      {"C:\\", "C:"},
      {"C:\\WINDOWS\\", "C:\\WINDOWS"},
      {"/ab", "/ab"},
      {"/win/", "/win/"},
      {longest.c_str(), longest.c_str()},
      {tooLong.c_str(), nullptr},
      {"", nullptr},
  };
  for (const DirectoryCase &c : cases) {
    setenv("WINDIR", c.value, 1);
    CHAR directory[WINDOWS_DIRECTORY_SIZE];
    ::testing::internal::CaptureStderr();
    LPSTR result = QueryWindowsDirectory(directory);
    std::string reported = ::testing::internal::GetCapturedStderr();
    if (c.expected) {
      ASSERT_EQ(result, directory) << c.value;
      EXPECT_STREQ(directory, c.expected);
      EXPECT_EQ(reported, "");
    } else {
      EXPECT_EQ(result, nullptr) << c.value;
      EXPECT_NE(reported, "") << c.value;
    }
  }
  unsetenv("WINDIR");
}

}  // namespace
