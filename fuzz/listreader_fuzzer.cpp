// Walks any bytes, as a loaded uninstall list, back to their start with the
// real reader and checks every entry against a small model of the list
// format written apart from the reader. The list and the entry buffer each
// sit in a heap block of exactly their size, so the sanitizers catch any
// touch outside them.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "batchuninst.h"

namespace {

struct Entry {
  size_t lineStart;
  bool tooLong;
  std::string text;
  bool operator==(const Entry &other) const {
    return lineStart == other.lineStart && tooLong == other.tooLong && text == other.text;
  }
};

// Lines end at LF. A tail after the last LF made of nothing but CRs and
// end-of-file marks is not a line; otherwise the tail is the last line. CRs
// at a line's end are dropped, a zero byte ends the entry, and an entry of
// ENTRY_SIZE bytes or more is flagged and left empty. Last line first.
std::vector<Entry> ModelEntries(const std::string &list) {
  size_t end = list.find_last_not_of("\r\x1a");
  bool tailIsNoLine = end != std::string::npos && list[end] == '\n';
  std::string lines = tailIsNoLine ? list.substr(0, end) : list;

  std::vector<Entry> entries;
  size_t start = 0;
  for (;;) {
    size_t lineEnd = std::min(lines.find('\n', start), lines.size());
    std::string text = lines.substr(start, lineEnd - start);
    text.erase(text.find_last_not_of('\r') + 1);
    text = text.substr(0, text.find('\0'));
    bool tooLong = text.size() >= static_cast<size_t>(ENTRY_SIZE);
    entries.push_back({start, tooLong, tooLong ? std::string() : text});
    if (lineEnd == lines.size()) break;
    start = lineEnd + 1;
  }
  std::reverse(entries.begin(), entries.end());
  return entries;
}

std::vector<Entry> ReaderEntries(const uint8_t *data, size_t size) {
  std::unique_ptr<char[]> list(new char[size]);
  std::copy(data, data + size, list.get());
  std::unique_ptr<char[]> entry(new char[ENTRY_SIZE]);

  std::vector<Entry> entries;
  LPCSTR scanPosition = list.get() + size;
  do {
    BOOL tooLong = FALSE;
    LPCSTR lineStart = ReadPreviousEntry(list.get(), scanPosition, entry.get(), &tooLong);
    size_t offset = lineStart ? static_cast<size_t>(lineStart - list.get()) : 0;
    entries.push_back({offset, tooLong != FALSE, entry.get()});
    scanPosition = lineStart;
  } while (scanPosition);
  return entries;
}

void PrintHex(const char *label, const uint8_t *data, size_t size) {
  fprintf(stderr, "%s (%zu bytes):", label, size);
  for (size_t i = 0; i < size; ++i) fprintf(stderr, "%s%02x", i % 32 ? " " : "\n", data[i]);
  fprintf(stderr, "\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // A list is never empty: the loader refuses an empty file.
  if (size == 0) return 0;
  std::vector<Entry> expected = ModelEntries(std::string(data, data + size));
  std::vector<Entry> actual = ReaderEntries(data, size);
  if (actual != expected) {
    fprintf(stderr, "The reader's entries differ from the model's: %zu against %zu.\n",
            actual.size(), expected.size());
    PrintHex("list", data, size);
    abort();
  }
  return 0;
}
