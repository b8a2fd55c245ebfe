// Starts a program as a script starts it: its standard output and error
// going to pipes, waited for, what it wrote and its exit code kept.
#pragma once

#include <windows.h>

#include <string>

namespace vantoric::test {

struct CProgramRun {
  DWORD exitCode = STILL_ACTIVE;
  std::string out;
  std::string err;
};

// Runs `exe` with `args` (a bound of 60 s).
CProgramRun RunProgram(const std::wstring& exe, const std::wstring& args);

}  // namespace vantoric::test
