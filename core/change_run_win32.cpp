#include "core/change_run_win32.h"

#include <cstdio>

#include "core/connection_guard_win32.h"
#include "core/history_log_win32.h"

namespace vantoric {

namespace {

// The one runner: the line run on the given path, then recorded.
CNetshResult RunAndRecord(const CChange& change, CNetshRunner& runner, bool bElevate,
                          const CNetshRunOptions& options, CCommandHistory* pHistory, int nGroup, int nUndoes) {
  const std::string line = FormatChangeCommand(change);
  const CNetshResult result = RunNetshCommand(line, &runner, bElevate, options);
  RecordChange(pHistory, change, line, result, nGroup, nUndoes);
  return result;
}

}  // namespace

bool IsElevatedChange(ChangeKind kind) {
  return kind != ChangeKind::AddDns && kind != ChangeKind::DeleteDns && IsShellElevationNeeded();
}

void RecordChange(CCommandHistory* pHistory, const CChange& change, std::string_view line,
                  const CNetshResult& result, int nGroup, int nUndoes) {
  if (pHistory == nullptr) return;
  CHistoryEntry entry;
  entry.m_nTime = CurrentUnixTime();
  entry.m_strTime = FormatLocalTimeNow();
  entry.m_change = change;
  // The interface, not only its name: a later undo must find the same one.
  std::uint64_t interfaceId = 0;
  if (entry.m_change.m_nInterfaceId == 0 && ReadInterfaceId(change.m_strInterface, interfaceId))
    entry.m_change.m_nInterfaceId = interfaceId;
  entry.m_strLine = line;
  entry.m_bElevated = IsElevatedChange(change.m_kind);
  entry.m_result = result;
  entry.m_nGroup = nGroup;
  entry.m_nUndoes = nUndoes;
  // Each history is one run in the log: named by when and in which process
  // it recorded first, and how many histories this process had before.
  static int s_nHistories = 0;
  if (pHistory->GetRun().empty())
    pHistory->SetRun(std::to_string(entry.m_nTime) + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
                     std::to_string(++s_nHistories));
  const int id = pHistory->Record(std::move(entry));
  if (const CHistoryEntry* pRecorded = pHistory->Find(id)) AppendToHistoryLog(*pRecorded);
}

CNetshResult RunChangeForWindow(const CChange& change, CNetshRunner& runner, HWND owner, CCommandHistory* pHistory,
                                int nGroup, int nUndoes) {
  CNetshRunOptions options;
  options.m_hOwner = owner;
  return RunAndRecord(change, runner, IsElevatedChange(change.m_kind), options, pHistory, nGroup, nUndoes);
}

CNetshResult RunChangeInConsole(const CChange& change, CNetshRunner& runner, CCommandHistory* pHistory) {
  return RunAndRecord(change, runner, false, CNetshRunOptions{}, pHistory, 0, 0);
}

std::int64_t CurrentUnixTime() {
  FILETIME ft{};
  ::GetSystemTimeAsFileTime(&ft);
  const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  // FILETIME counts 100 ns from 1601; 11644473600 s lie between 1601 and 1970.
  return static_cast<std::int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

std::string FormatLocalTimeNow() {
  SYSTEMTIME st{};
  ::GetLocalTime(&st);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
                st.wMinute, st.wSecond);
  return text;
}

}  // namespace vantoric
