// The console runner against the recording netsh stand-in: start failures,
// input before and after a run, output in pieces, restarts and the stop bound.
#include "core/redirect_io_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "tests/win/support/netsh_standin_support.h"

namespace vantoric {
namespace {

using test::CNetshStandin;
using RedirectIO = test::CNetshStandinTest;

class CRecordingRedirect : public CRedirectIO {
 public:
  ~CRecordingRedirect() override { Stop(); }

  std::vector<std::string> Pieces() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_pieces;
  }
  std::vector<std::string> Errors() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_errors;
  }
  void SetStopTimeout(DWORD ms) { m_stopTimeoutMs = ms; }
  // Makes the output hook block this long; hookEntered is set on entry.
  void SetHookDelay(DWORD ms) { m_hookDelayMs = ms; }
  void SetStopInHook() { m_bStopInHook = true; }
  CHandle hookEntered{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};

 protected:
  void OnOutputText(const char* text) override {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      m_pieces.push_back(text);
    }
    ::SetEvent(hookEntered.get());
    if (m_hookDelayMs) ::Sleep(m_hookDelayMs);
    if (m_bStopInHook) Stop();
  }
  void OnErrorText(const char* text) override {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_errors.push_back(text);
  }

 private:
  std::mutex m_mutex;
  std::vector<std::string> m_pieces;
  std::vector<std::string> m_errors;
  DWORD m_hookDelayMs = 0;
  bool m_bStopInHook = false;
};

// A handle of ours to an object of the run, which outlives the run's own.
CHandle Keep(HANDLE h) {
  HANDLE copy = nullptr;
  ::DuplicateHandle(::GetCurrentProcess(), h, ::GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
  return CHandle(copy);
}

DWORD ProcessExitCode(HANDLE h) {
  DWORD code = 0;
  ::GetExitCodeProcess(h, &code);
  return code;
}

DWORD ThreadExitCode(HANDLE h) {
  DWORD code = 0;
  ::GetExitCodeThread(h, &code);
  return code;
}

// Open kernel handles of this process. Wine's GetProcessHandleCount always
// says 0, so the handle values are probed instead (they are multiples of 4).
DWORD HandleCount() {
  DWORD count = 0;
  if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0) return count;
  DWORD flags = 0;
  for (ULONG_PTR value = 4; value < 0x4000; value += 4) {
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

const std::string kInteractive = "\"" + CNetshStandin::NetshPath() + "\"";

TEST_F(RedirectIO, StartOfAMissingProgramFailsAndLeavesNoHandleOpen) {
  CRecordingRedirect runner;
  const DWORD before = HandleCount();
  ASSERT_GT(before, 0u);
  ::SetLastError(0);
  EXPECT_FALSE(runner.Start("C:\\windows\\system32\\no_such_program_here.exe"));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(HandleCount(), before);
  EXPECT_EQ(runner.GetChildProcess(), nullptr);
  EXPECT_EQ(runner.GetReaderThread(), nullptr);
  EXPECT_EQ(runner.Errors(), std::vector<std::string>{"Redirect console error: 2\r\n"});
  EXPECT_FALSE(runner.SendInput("interface ipv6 show address\r\n"));
}

TEST_F(RedirectIO, SendInputOutsideARunWritesNothing) {
  CNetshStandin standin("send-outside-run");
  CRecordingRedirect runner;
  EXPECT_FALSE(runner.SendInput("before start\r\n"));
  ASSERT_TRUE(runner.Start(kInteractive));
  EXPECT_TRUE(runner.SendInput("%s %d\r\n", "interface ipv6 show dnsservers", 1));
  const CHandle child = Keep(runner.GetChildProcess());
  runner.Stop();
  EXPECT_FALSE(runner.SendInput("after stop\r\n"));
  EXPECT_FALSE(runner.CloseInput());
  ASSERT_EQ(::WaitForSingleObject(child.get(), 10000), WAIT_OBJECT_0) << "netsh ends when its input is closed";
  EXPECT_EQ(standin.ReadLog(),
            CNetshStandin::InteractiveCall() + "stdin: interface ipv6 show dnsservers 1\r\neof\r\nexit: 0\r\n");
}

TEST_F(RedirectIO, LongOutputArrivesInPiecesAndTheReaderEndsWithTheChild) {
  CNetshStandin standin("long-output");
  std::string answer;
  for (int i = 0; answer.size() < 1000; ++i) answer += "line " + std::to_string(i) + " of a long answer\\r\\n";
  std::string expected;
  for (size_t i = 0; i < answer.size(); ++i) {
    if (answer.compare(i, 4, "\\r\\n") == 0) {
      expected += "\r\n";
      i += 3;
    } else {
      expected += answer[i];
    }
  }
  standin.SetAnswer(answer);
  standin.SetErrorText("and on standard error");
  const DWORD before = HandleCount();
  {
    CRecordingRedirect runner;
    ASSERT_TRUE(runner.Start(kInteractive + " interface ipv6 show address"));
    const CHandle reader = Keep(runner.GetReaderThread());
    ASSERT_EQ(::WaitForSingleObject(reader.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(ThreadExitCode(reader.get()), 0u) << "the child ended by itself";

    std::string joined;
    const auto pieces = runner.Pieces();
    for (const auto& piece : pieces) {
      EXPECT_LE(piece.size(), 255u);
      joined += piece;
    }
    EXPECT_GE(pieces.size(), 4u);
    EXPECT_EQ(joined, expected + "and on standard error");
    EXPECT_TRUE(runner.Errors().empty());
    runner.Stop();
    runner.Stop();
    EXPECT_EQ(runner.GetChildProcess(), nullptr);
  }
  EXPECT_EQ(HandleCount(), before) << "every handle of the run was released, once";
}

TEST_F(RedirectIO, StartTwiceStopsTheFirstRunBeforeTheSecondChild) {
  CNetshStandin standin("start-twice");
  CRecordingRedirect runner;
  ASSERT_TRUE(runner.Start(kInteractive));
  const CHandle firstChild = Keep(runner.GetChildProcess());
  const CHandle firstReader = Keep(runner.GetReaderThread());
  ASSERT_TRUE(runner.Start(kInteractive));
  EXPECT_EQ(::WaitForSingleObject(firstReader.get(), 0), WAIT_OBJECT_0) << "first run ended within Start";
  EXPECT_EQ(ThreadExitCode(firstReader.get()), 1u) << "ended by the stop request";
  EXPECT_EQ(::WaitForSingleObject(firstChild.get(), 10000), WAIT_OBJECT_0) << "first netsh saw its input end";
  EXPECT_NE(runner.GetChildProcess(), nullptr);
  EXPECT_EQ(::WaitForSingleObject(runner.GetChildProcess(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the second netsh still runs";
  EXPECT_TRUE(runner.SendInput("interface ipv6 show dnsservers second\r\n"));
  const CHandle secondChild = Keep(runner.GetChildProcess());
  runner.Stop();
  ASSERT_EQ(::WaitForSingleObject(secondChild.get(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(ProcessExitCode(secondChild.get()), 0u);
  const std::string log = standin.ReadLog();
  const std::string second = "stdin: interface ipv6 show dnsservers second\r\n";
  EXPECT_EQ(log.find(second), log.rfind("stdin:")) << log;
  EXPECT_NE(log.find(second), std::string::npos) << log;
}

TEST_F(RedirectIO, StopTerminatesAReaderThatDoesNotEndInTime) {
  CNetshStandin standin("stuck-reader");
  standin.SetAnswer("some output");
  CRecordingRedirect runner;
  runner.SetStopTimeout(200);
  runner.SetHookDelay(3000);
  ASSERT_TRUE(runner.Start(kInteractive + " interface ipv6 show dnsservers"));
  const CHandle reader = Keep(runner.GetReaderThread());
  const CHandle child = Keep(runner.GetChildProcess());
  ASSERT_EQ(::WaitForSingleObject(runner.hookEntered.get(), 10000), WAIT_OBJECT_0);
  const ULONGLONG start = ::GetTickCount64();
  runner.Stop();
  const ULONGLONG took = ::GetTickCount64() - start;
  EXPECT_LT(took, 2000u);
  EXPECT_EQ(runner.Errors(), std::vector<std::string>{"The redir thread is dead.\r\n"});
  EXPECT_EQ(ThreadExitCode(reader.get()), 0xFFFFFFFEu);
  EXPECT_EQ(runner.GetReaderThread(), nullptr);
  EXPECT_EQ(::WaitForSingleObject(child.get(), 10000), WAIT_OBJECT_0);
}

TEST_F(RedirectIO, AHookMayStopTheRunWithoutWaitingForItself) {
  CNetshStandin standin("stop-in-hook");
  standin.SetAnswer("first words");
  CRecordingRedirect runner;
  runner.SetStopInHook();
  ASSERT_TRUE(runner.Start(kInteractive));  // waits for input: only the stop ends the reader
  EXPECT_TRUE(runner.SendInput("interface ipv6 show dns\r\n"));
  const CHandle reader = Keep(runner.GetReaderThread());
  ASSERT_EQ(::WaitForSingleObject(reader.get(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(ThreadExitCode(reader.get()), 1u) << "ended by the stop request";
  EXPECT_NE(runner.GetChildProcess(), nullptr) << "the handles wait for the owner";
  const CHandle child = Keep(runner.GetChildProcess());
  runner.Stop();
  EXPECT_EQ(runner.GetChildProcess(), nullptr);
  EXPECT_EQ(::WaitForSingleObject(child.get(), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(runner.Errors().empty());
}

}  // namespace
}  // namespace vantoric
