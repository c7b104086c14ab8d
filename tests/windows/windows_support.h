// Helpers for the Windows suite: the programs built beside it and the
// system's own texts.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "test_support.h"

// A program built beside this test program.
inline std::string PathBesideTests(const std::string &fileName) {
  CHAR path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, length);
  return self.substr(0, self.find_last_of('\\') + 1) + fileName;
}

inline std::string StandInPath() { return PathBesideTests("stand_in_uninstaller.exe"); }

// The system's text for an error code, as FormatMessageA gives it.
inline std::string SystemText(DWORD errorCode) {
  LPSTR text = nullptr;
  FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text),
      0, nullptr);
  std::string result = text ? text : "";
  LocalFree(text);
  return result;
}

inline std::vector<std::string> Lines(const fs::path &path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
