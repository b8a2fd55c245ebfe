// The history's log as files, in a folder of the test's own: moved aside at
// 1 MB with the older file read first; past the limit, when it cannot be
// moved aside, it grows no further and says so once; and a folder that is a
// link elsewhere, or a log that is a second name of another file, is
// neither written nor read.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/history_log.h"
#include "core/history_log_win32.h"
#include "framework/handles.h"
#include "framework/utf8.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

CHistoryEntry Entry(const std::string& run, const std::string& address) {
  CHistoryEntry entry;
  entry.m_strRun = run;
  entry.m_nId = 1;
  entry.m_nTime = 1800000000;
  entry.m_strTime = "2026-12-07 19:04:12";
  entry.m_change.m_kind = ChangeKind::AddAddress;
  entry.m_change.m_strInterface = "Ethernet";
  entry.m_change.m_strAddress = address;
  entry.m_change.m_strType = "unicast";
  entry.m_change.m_strValidLifetime = entry.m_change.m_strPreferredLifetime = "infinite";
  entry.m_change.m_strStore = "persistent";
  entry.m_strLine = FormatChangeCommand(entry.m_change);
  entry.m_result.m_outcome = NetshOutcome::Succeeded;
  return entry;
}

std::string ReadFileText(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFileText(const std::wstring& path, const std::string& text) {
  std::ofstream(path.c_str(), std::ios::binary) << text;
}

// Lines of the entry "2001:db8::<n>" of the run "earlier", n from 1, as
// many as fit in `bytes`.
std::string EarlierLines(std::size_t bytes) {
  std::string text;
  for (int n = 1;; ++n) {
    const std::string line = FormatHistoryLogLine(Entry("earlier", "2001:db8::" + std::to_string(n)));
    if (text.size() + line.size() > bytes) return text;
    text += line;
  }
}

// The log in a folder of this test's own, with the notice counted.
class HistoryLogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    m_base = test::TempFolder() + L"vantoric-log-" + std::to_wstring(::GetCurrentProcessId());
    m_folder = m_base + L"\\Vantoric";
    Clear();  // what an earlier run of a process of this number left
    ::CreateDirectoryW(m_base.c_str(), nullptr);
    SetHistoryLogFolderForTests(m_folder);
    SetHistoryLogNotice([this](const std::string& text) { m_told.push_back(text); });
  }
  void TearDown() override {
    SetHistoryLogNotice(nullptr);
    SetHistoryLogFolderForTests(L"");
    Clear();
  }
  void Clear() const {
    for (const wchar_t* name : {L"\\history.jsonl", L"\\history.1.jsonl", L"\\other.jsonl"})
      ::DeleteFileW((m_folder + name).c_str());
    ::RemoveDirectoryW((m_folder + L"\\history.1.jsonl").c_str());
    ::RemoveDirectoryW(m_folder.c_str());
    ::DeleteFileW((m_base + L"\\elsewhere\\history.jsonl").c_str());
    ::RemoveDirectoryW((m_base + L"\\elsewhere").c_str());
    ::RemoveDirectoryW(m_base.c_str());
  }

  std::wstring Log() const { return m_folder + L"\\history.jsonl"; }
  std::wstring Older() const { return m_folder + L"\\history.1.jsonl"; }

  std::wstring m_base, m_folder;
  std::vector<std::string> m_told;
};

TEST_F(HistoryLogFile, MovedAsideAtOneMegabyteAndTheOlderFileReadFirst) {
  const std::string next = FormatHistoryLogLine(Entry("now", "2001:db8::ffff"));
  const struct {
    std::size_t size;  // bytes of earlier entries in the log
    bool moved;
    const char* why;
  } cases[] = {
      {HISTORY_LOG_MAX_BYTES - next.size(), false, "the entry fills the log to 1 MB exactly: it stays"},
      {HISTORY_LOG_MAX_BYTES - next.size() + 1, true, "one byte more would pass 1 MB: moved aside first"},
  };
  for (const auto& c : cases) {
    ::CreateDirectoryW(m_folder.c_str(), nullptr);
    ::DeleteFileW(Older().c_str());
    const std::string earlier = EarlierLines(c.size);
    // Padded with blank lines, which the reader skips, to the exact size.
    const std::string log = earlier + std::string(c.size - earlier.size(), '\n');
    WriteFileText(Log(), log);
    WriteFileText(Older(), FormatHistoryLogLine(Entry("oldest", "2001:db8::abc")));

    EXPECT_EQ(AppendToHistoryLog(Entry("now", "2001:db8::ffff")), HistoryLogWrite::Written) << c.why;
    if (c.moved) {
      EXPECT_EQ(ReadFileText(Older()), log) << c.why << ": the full log is the older file, the oldest one gone";
      EXPECT_EQ(ReadFileText(Log()), next) << c.why;
    } else {
      EXPECT_EQ(ReadFileText(Log()), log + next) << c.why;
    }
    const std::vector<CHistoryEntry> read = ReadEarlierHistory("this run");
    ASSERT_FALSE(read.empty()) << c.why;
    EXPECT_EQ(read.front().m_change.m_strAddress, c.moved ? "2001:db8::1" : "2001:db8::abc") << c.why;
    EXPECT_EQ(read.back().m_change.m_strAddress, "2001:db8::ffff") << c.why << ": the newest comes last";
    EXPECT_TRUE(m_told.empty()) << c.why;
  }
}

TEST_F(HistoryLogFile, PastTheLimitWithoutRoomItGrowsNoFurtherAndSaysSoOnce) {
  ::CreateDirectoryW(m_folder.c_str(), nullptr);
  const std::string log = EarlierLines(HISTORY_LOG_MAX_BYTES);
  WriteFileText(Log(), log);
  // A folder in the older file's place: the full log cannot be moved there.
  ASSERT_TRUE(::CreateDirectoryW(Older().c_str(), nullptr));

  EXPECT_EQ(AppendToHistoryLog(Entry("now", "2001:db8::fff1")), HistoryLogWrite::Full);
  EXPECT_EQ(AppendToHistoryLog(Entry("now", "2001:db8::fff2")), HistoryLogWrite::Full);
  EXPECT_EQ(ReadFileText(Log()), log) << "not a byte past its limit";
  ASSERT_EQ(m_told.size(), 1u) << "told once, not at every command";
  EXPECT_EQ(m_told[0].rfind("The history's log " + Narrow(Log()) + " is full and could not be moved aside", 0), 0u)
      << m_told[0];
  EXPECT_NE(m_told[0].find("Changes are no longer added to the log"), std::string::npos) << m_told[0];

  // Room again: the log is moved aside and written as before.
  ASSERT_TRUE(::RemoveDirectoryW(Older().c_str()));
  EXPECT_EQ(AppendToHistoryLog(Entry("now", "2001:db8::fff3")), HistoryLogWrite::Written);
  EXPECT_EQ(ReadFileText(Older()), log);
  EXPECT_EQ(m_told.size(), 1u);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A path as Wine's host sees it; empty outside Wine.
std::wstring HostPath(const std::wstring& path) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  const auto pfnUnixName = reinterpret_cast<UnixNameFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = pfnUnixName != nullptr ? pfnUnixName(path.c_str()) : nullptr;
  if (name == nullptr) return {};
  const std::wstring wide = Widen(name);
  ::HeapFree(::GetProcessHeap(), 0, name);
  return wide;
}

// Runs a program of Wine's host, which Wine starts as it starts any
// program, and waits until `done` holds, for at most 10 s: such a program
// cannot be waited for through its handle.
bool RunOnHost(const std::wstring& program, std::wstring arguments, const std::function<bool()>& done) {
  // Its standard handles lead nowhere: it holds none of this test's pipes.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const CHandle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                  OPEN_EXISTING, 0, nullptr));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nul.get();
  PROCESS_INFORMATION pi{};
  std::wstring command = program + L" " + arguments;
  if (!::CreateProcessW((L"Z:" + program).c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi))
    return false;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > 10000) return false;
    ::Sleep(20);
  }
  return true;
}

// A symbolic link at `link` to the folder `target`. Wine's CreateSymbolicLinkW
// makes nothing; there the link is one of the host's file system, as Wine
// keeps links.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
  if (::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && Exists(link)) return true;
  const std::wstring parent = HostPath(link.substr(0, link.rfind(L'\\')));
  return !parent.empty() && RunOnHost(L"/bin/ln", L"-s " + HostPath(target) + L" " + parent + L"/" +
                                                      link.substr(link.rfind(L'\\') + 1),
                                      [&] { return Exists(link); });
}

// Removes the link itself, never what it leads to.
bool RemoveFolderLink(const std::wstring& link) {
  if (::RemoveDirectoryW(link.c_str()) && !Exists(link)) return true;
  const std::wstring host = HostPath(link);
  return !host.empty() && RunOnHost(L"/bin/rm", host, [&] { return !Exists(link); });
}

TEST_F(HistoryLogFile, AFolderOrFileThatLeadsElsewhereIsNeitherWrittenNorRead) {
  const std::wstring elsewhere = m_base + L"\\elsewhere";
  const std::string planted = FormatHistoryLogLine(Entry("planted", "2001:db8::bad"));
  const struct {
    const char* why;
    std::function<bool()> plant;
    std::function<bool()> clear;  // takes it apart, the link itself, never what it leads to
  } cases[] = {
      {"the log is a second name of another file",
       [&] {
         ::CreateDirectoryW(m_folder.c_str(), nullptr);
         WriteFileText(m_folder + L"\\other.jsonl", planted);
         return ::CreateHardLinkW(Log().c_str(), (m_folder + L"\\other.jsonl").c_str(), nullptr) != 0;
       },
       [&] {
         return ::DeleteFileW(Log().c_str()) && ::DeleteFileW((m_folder + L"\\other.jsonl").c_str()) &&
                ::RemoveDirectoryW(m_folder.c_str());
       }},
      {"the folder is a link to another folder",
       [&] {
         ::CreateDirectoryW(elsewhere.c_str(), nullptr);
         WriteFileText(elsewhere + L"\\history.jsonl", planted);
         return MakeFolderLink(m_folder, elsewhere);
       },
       [&] { return RemoveFolderLink(m_folder) && ::DeleteFileW((elsewhere + L"\\history.jsonl").c_str()); }},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(c.plant()) << c.why << ": could not be made (error " << ::GetLastError() << ")";
    EXPECT_EQ(AppendToHistoryLog(Entry("now", "2001:db8::fff1")), HistoryLogWrite::NotWritten) << c.why;
    EXPECT_TRUE(ReadEarlierHistory("this run").empty()) << c.why << ": the planted entry is not read";
    EXPECT_EQ(ReadFileText(elsewhere + L"\\history.jsonl") + ReadFileText(m_folder + L"\\other.jsonl"), planted)
        << c.why << ": nothing written through it";
    ASSERT_TRUE(c.clear()) << c.why;
  }
}

}  // namespace
}  // namespace vantoric
