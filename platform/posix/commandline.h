// Command-line splitting by the rules of the Microsoft C runtime, so that a
// program started here sees the arguments a Windows program would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The program token first, then each argument.
std::vector<std::string> SplitCommandLine(LPCSTR commandLine);
