#include "commandline.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program token runs to the first blank outside quotes; quotes only
// toggle quoting and backslashes are plain characters.
std::string ReadProgramToken(LPCSTR *cursor) {
  LPCSTR next = *cursor;
  std::string program;
  bool inQuotes = false;
  for (; *next && (inQuotes || !IsBlank(*next)); ++next) {
    if (*next == '"')
      inQuotes = !inQuotes;
    else
      program += *next;
  }
  *cursor = next;
  return program;
}

// One argument. 2n backslashes before a quote give n backslashes and the
// quote toggles quoting; 2n+1 give n backslashes and a literal quote. Inside
// quotes, "" is a literal quote and quoting stays open.
std::string ReadArgument(LPCSTR *cursor) {
  LPCSTR next = *cursor;
  std::string argument;
  bool inQuotes = false;
  for (;;) {
    size_t backslashes = 0;
    while (*next == '\\') {
      ++backslashes;
      ++next;
    }
    bool literal = true;
    if (*next == '"') {
      if (backslashes % 2 == 0) {
        if (inQuotes && next[1] == '"') {
          ++next;
        } else {
          literal = false;
          inQuotes = !inQuotes;
        }
      }
      backslashes /= 2;
    }
    argument.append(backslashes, '\\');
    if (!*next || (!inQuotes && IsBlank(*next))) break;
    if (literal) argument += *next;
    ++next;
  }
  *cursor = next;
  return argument;
}

}  // namespace

std::vector<std::string> SplitCommandLine(LPCSTR commandLine) {
  std::vector<std::string> arguments{ReadProgramToken(&commandLine)};
  for (;;) {
    while (IsBlank(*commandLine)) ++commandLine;
    if (!*commandLine) return arguments;
    arguments.push_back(ReadArgument(&commandLine));
  }
}
