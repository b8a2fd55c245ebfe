// Drives the recording netsh stand-in (tools/netsh_standin.cpp) that the test
// prefix has as its system netsh.exe: a fresh log per test, its answer, exit
// code and delay, all through environment variables that every netsh started
// by this process inherits. And keeps the tests that start netsh from
// running where the system netsh is a real one.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace vantoric::test {

// Whether the system's netsh.exe, the one the program starts, is the
// recording stand-in (it carries the stand-in's marker resource); if not,
// `why` says what was found.
bool IsNetshStandinInstalled(std::string& why);

// Held by every fixture whose tests start netsh or the program with a
// command that changes the machine, before anything else of the fixture
// (CNetshStandinTest holds one): where the system netsh is not the stand-in
// the test is skipped, with the reason, before its set-up runs, so that a
// run on a developer's Windows changes nothing. Under Wine, where the test
// set-up installs the stand-in, its absence is a failure instead.
class CNetshStandinGuard {
 public:
  CNetshStandinGuard();
};

// The fixture of tests that start netsh.
class CNetshStandinTest : public ::testing::Test {
 private:
  CNetshStandinGuard m_netshGuard;
};

// Only for a test whose fixture holds a CNetshStandinGuard (a test that
// constructs one without it fails).
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
  // Exit codes of the runs in turn, from the log's first call; runs past
  // them take SetExitCode's.
  void SetExitCodes(const std::vector<DWORD>& codes);
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
