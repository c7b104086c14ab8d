#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "batchuninst.h"
#include "test_support.h"

namespace {

const std::string TOO_LONG = "<too long>";

// Walks a list to its start the way the batch run does. The list lives in a
// heap block of exactly its size, so a sanitizer build catches any read
// outside it.
std::vector<std::string> WalkList(const std::string &bytes) {
  std::unique_ptr<char[]> block(new char[bytes.size()]);
  bytes.copy(block.get(), bytes.size());
  std::vector<std::string> entries;
  LPCSTR scanPosition = block.get() + bytes.size();
  do {
    CHAR entry[ENTRY_SIZE];
    BOOL entryTooLong = TRUE;
    LPCSTR lineStart = ReadPreviousEntry(block.get(), scanPosition, entry, &entryTooLong);
    entries.push_back(entryTooLong ? TOO_LONG : std::string(entry));
    if (lineStart && (lineStart <= block.get() || lineStart >= scanPosition)) {
      ADD_FAILURE() << "scan position does not move towards the list's start";
      break;
    }
    scanPosition = lineStart;
  } while (scanPosition);
  return entries;
}

struct ListCase {
  const char *name;
  std::string list;
  std::vector<std::string> entries;  // in the order handed out
};

const ListCase LIST_CASES[] = {
    {"crlf_lines", "AB\r\nCD\r\n", {"CD", "AB"}},
    {"trailing_blank_line", "AB\r\n\r\n", {"", "AB"}},
    {"blank_line_inside", "AB\r\n\r\nCD\r\n", {"CD", "", "AB"}},
    {"cr_cr_lf", "AB\r\r\nCD\r\r\n", {"CD", "AB"}},
    {"lf_only", "AB\nCD\n", {"CD", "AB"}},
    {"two_lf_in_a_row", "AB\n\nCD\n", {"CD", "", "AB"}},
    {"last_line_without_end", "AB\r\nCD", {"CD", "AB"}},
    {"one_line_without_end", "ABCD", {"ABCD"}},
    {"one_byte", "A", {"A"}},
    {"lone_lf", "\n", {""}},
    {"lone_crlf", "\r\n", {""}},
    {"two_lf", "\n\n", {"", ""}},
    {"first_byte_lf", "\nAB\r\n", {"AB", ""}},
    {"mixed_line_ends", "X\nY\r\n", {"Y", "X"}},
    {"cr_inside_line", "AB\r\nC\rD\r\n", {"C\rD", "AB"}},
    {"zero_byte_ends_entry", std::string("A\0B\r\n", 5), {"A"}},
    {"zero_byte_first", std::string("\0\r\n", 3), {""}},
    {"lone_cr", "\r", {""}},
    {"lone_end_of_file_mark", "\x1a", {"\x1a"}},
    {"cr_after_last_lf", "AB\r\n\r", {"AB"}},
    {"end_of_file_mark_after_last_lf", "AB\r\n\x1a", {"AB"}},
    {"crs_and_marks_after_last_lf", "AB\r\n\r\x1a\r", {"AB"}},
    {"mark_ends_text_of_last_line", "AB\r\nCD\x1a", {"CD\x1a", "AB"}},
    {"quotes_spaces_backslashes",
     "C:\\Program Files\\a \"b\".log\\\r\n",
     {"C:\\Program Files\\a \"b\".log\\"}},
    {"high_bytes_and_tabs", "\xe9\t\xff\r\n", {"\xe9\t\xff"}},
    {"longest_entry", Repeat('a', 263) + "\r\n", {Repeat('a', 263)}},
    {"longest_entry_crs_not_counted", Repeat('a', 263) + "\r\r\r\n", {Repeat('a', 263)}},
    {"entry_one_too_long", Repeat('a', 264) + "\r\n", {TOO_LONG}},
    {"too_long_without_line_end", Repeat('a', 1000), {TOO_LONG}},
    {"zero_byte_shortens_long_line",
     Repeat('a', 10) + '\0' + Repeat('b', 500) + "\r\n",
     {Repeat('a', 10)}},
    {"zero_byte_right_after_longest", Repeat('a', 263) + '\0' + "b\r\n", {Repeat('a', 263)}},
    {"zero_byte_right_after_too_long", Repeat('a', 264) + '\0' + "\r\n", {TOO_LONG}},
    {"too_long_between_others",
     "first\r\n" + Repeat('L', 300) + "\r\nlast\r\n",
     {"last", TOO_LONG, "first"}},
    {"too_long_first_line", Repeat('L', 300) + "\r\nlast\r\n", {"last", TOO_LONG}},
};

void PrintTo(const ListCase &c, std::ostream *out) { *out << c.name; }

class ReadPreviousEntryTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(ReadPreviousEntryTest, HandsOutEntriesLastLineFirst) {
  EXPECT_EQ(WalkList(GetParam().list), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(Lists, ReadPreviousEntryTest, ::testing::ValuesIn(LIST_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

class LoadListFileTest : public ::testing::Test {
 protected:
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir = MakeTempDir();
};

TEST_F(LoadListFileTest, LoadsEveryByteOfTheFile) {
  std::string bytes = std::string("one\r\ntwo\0\r\n", 11) + Repeat('x', 100000);
  WriteBytes(dir / "list.lst", bytes);
  DWORD bytesRead = 0;
  LPCSTR list = LoadListFile((dir / "list.lst").string().c_str(), &bytesRead);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(std::string(list, bytesRead), bytes);
  UnloadListFile(list);
}

TEST_F(LoadListFileTest, RefusesAnEmptyListWithItsOwnText) {
  WriteBytes(dir / "list.lst", "");
  DWORD bytesRead = 0;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(LoadListFile((dir / "list.lst").string().c_str(), &bytesRead), nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "The uninstall list " + (dir / "list.lst").string() + " is empty; nothing is run.\n");
}

TEST_F(LoadListFileTest, RefusesAListOf4GiBOrMore) {
  fs::path list = dir / "huge.lst";
  WriteBytes(list, "");
  fs::resize_file(list, 0x100000000ull + 10);  // sparse: takes no room on disk
  DWORD bytesRead = 0;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(LoadListFile(list.string().c_str(), &bytesRead), nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "The uninstall list " + list.string() + " is 4 GiB or larger; nothing is run.\n");
}

// Files under /sys claim a size of a page and deliver less: a short read.
TEST_F(LoadListFileTest, RefusesAListThatCannotBeReadWhole) {
  const char *shortFiles[] = {"/sys/devices/system/cpu/online", "/sys/kernel/profiling",
                              "/sys/kernel/mm/transparent_hugepage/enabled"};
  for (const char *path : shortFiles) {
    std::error_code error;
    if (fs::file_size(path, error) <= ReadBytes(path).size()) continue;
    DWORD bytesRead = 0;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(LoadListFile(path, &bytesRead), nullptr);
    std::string reported = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(reported.rfind("Only ", 0), 0u) << reported;
    EXPECT_NE(reported.find(" bytes of the uninstall list " + std::string(path) +
                            " could be read; nothing is run.\n"),
              std::string::npos)
        << reported;
    return;
  }
  GTEST_SKIP() << "no file here reports more bytes than it delivers";
}

TEST_F(LoadListFileTest, ReportsWhatKeepsTheFileFromOpening) {
  fs::create_directory(dir / "folder");
  for (const fs::path &path : {dir / "missing.lst", dir / "folder"}) {
    DWORD bytesRead = 0;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(LoadListFile(path.string().c_str(), &bytesRead), nullptr) << path;
    EXPECT_NE(::testing::internal::GetCapturedStderr(), "") << path;
  }
}

}  // namespace
