// Drives the recording netsh stand-in (tools/netsh_standin.cpp) that the test
// prefix has as its system netsh.exe: a fresh log per test, its answer, exit
// code and delay, all through environment variables that every netsh started
// by this process inherits.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vantoric::test {

class CNetshStandin {
 public:
  // `name` makes the log's file name unique to the test.
  explicit CNetshStandin(std::string_view name);
  ~CNetshStandin();
  CNetshStandin(const CNetshStandin&) = delete;
  CNetshStandin& operator=(const CNetshStandin&) = delete;

  // Text it prints (UTF-8; \n, \r, \t and \\ are escapes), once when started
  // with arguments, after every non-empty input line otherwise.
  void SetAnswer(std::string_view text);
  void SetErrorText(std::string_view text);
  void SetExitCode(DWORD code);
  void SetHangMs(DWORD ms);
  // The answer, error text and exit code are for a line holding `text`
  // only; any other line is answered "Ok." with exit code 0.
  void SetOnlyFor(std::string_view text);

  // The log as written (UTF-8, CR LF kept); "" when netsh never ran.
  std::string ReadLog() const;
  bool LogExists() const;
  void ClearLog();
  // Waits until the log holds `text` (a later netsh may still be writing).
  bool WaitForLog(std::string_view text, DWORD timeoutMs) const;

  // "cmdline: "<system netsh>"" as the stand-in logs an interactive start.
  static std::string InteractiveCall();
  // The system netsh's full path, as UTF-8.
  static std::string NetshPath();
  // What the log holds for one line run (as arguments, on either path) and
  // the exit code it ended with.
  static std::string RunLog(const std::string& line, DWORD exitCode = 0);

 private:
  std::wstring m_strLogPath;
};

}  // namespace vantoric::test
