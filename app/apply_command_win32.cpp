#include "app/apply_command_win32.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/adapter_enumeration_win32.h"
#include "core/apply_report.h"
#include "core/change_run_win32.h"
#include "core/connection_guard_win32.h"
#include "core/history_log_win32.h"
#include "core/netsh_run_win32.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

// The largest file read: a listing of hundreds of adapters is far smaller.
constexpr DWORD MAX_FILE_BYTES = 64u << 20;
// How long removals wait for the addresses just added to leave Tentative
// (duplicate address detection takes about a second), and how often the
// addresses are read meanwhile.
constexpr DWORD SETTLE_WAIT_MS = 10000;
constexpr DWORD SETTLE_POLL_MS = 250;

// The file's bytes; 0, or the system's error code.
DWORD ReadWholeFile(const std::string& file, std::string& bytes) {
  CHandle h(::CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return ::GetLastError();
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(h.get(), &size)) return ::GetLastError();
  if (size.QuadPart > MAX_FILE_BYTES) return ERROR_FILE_TOO_LARGE;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  if (!bytes.empty() && (!::ReadFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                         got != bytes.size()))
    return ::GetLastError() != 0 ? ::GetLastError() : static_cast<DWORD>(ERROR_READ_FAULT);
  return 0;
}

// The machine as a plan needs it.
struct CMachineReading {
  std::unique_ptr<CAdapterRecord[]> m_records;
  size_t m_nCount = 0;
  std::vector<std::vector<CRouteRecord>> m_routes;
  bool m_bRoutes = false;

  CApplyReading ForPlan() const {
    CApplyReading reading;
    reading.m_pRecords = m_records.get();
    reading.m_nCount = m_nCount;
    reading.m_pRoutes = m_bRoutes ? &m_routes : nullptr;
    reading.m_readConnections = ReadEstablishedConnections;
    return reading;
  }
};

// The addresses the first `ran` changes of the plan added, read again (from
// the adapter source the snapshot reads) until none is pending, one is a
// duplicate, or SETTLE_WAIT_MS have passed.
CAddedAddressCheck WaitForAddedAddresses(const CApplyPlan& plan, std::size_t ran) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    CAddedAddressCheck check;
    check.m_strText = "the addresses could not be read";
    std::unique_ptr<CAdapterRecord[]> records;
    size_t count = 0;
    std::vector<std::string> names;
    if (TakeAdapterSnapshot(records, count, names) == 0) check = CheckAddedAddresses(plan, ran, records.get(), count);
    const DWORD waited = ::GetTickCount() - start;
    if (check.m_state != AddedAddressState::Pending || waited >= SETTLE_WAIT_MS) return check;
    ::Sleep(std::min(SETTLE_POLL_MS, SETTLE_WAIT_MS - waited));
  }
}

// Runs the plan in order until a command fails, or an added address turns
// out a duplicate before anything is removed; the text as it goes.
CApplyRun RunPlan(const CApplyPlan& plan, bool bJson, const CApplyOutput& output) {
  CNetshRunner runner;
  CCommandHistory history;
  history.SetReadingTime(CurrentUnixTime());
  CApplyRun run;
  // A log that is full and cannot be moved aside is told once, as a note.
  SetHistoryLogNotice([&](const std::string& text) { output.m_err("vantoric: note: " + text + "\n"); });
  const auto stopped = [&] {
    return !run.m_strStopped.empty() || (!run.m_results.empty() && !run.m_results.back().Succeeded());
  };
  for (size_t i = 0; i < plan.m_changes.size(); ++i) {
    const CChange& change = plan.m_changes[i];
    if (!stopped() && i == plan.m_nSettleBefore) {
      const CAddedAddressCheck check = WaitForAddedAddresses(plan, i);
      if (check.m_state == AddedAddressState::Duplicate) run.m_strStopped = check.m_strText;
      if (check.m_state == AddedAddressState::Pending)
        output.m_err("vantoric: note: " + check.m_strText + " after " + std::to_string(SETTLE_WAIT_MS / 1000) +
                     " s; the removals go ahead.\n");
    }
    if (stopped()) {
      if (!bJson) output.m_out(FormatNotRun(change));
      continue;
    }
    run.m_results.push_back(RunChangeInConsole(change, runner, &history));
    if (!bJson) output.m_out(FormatRunStep(change, run.m_results.back()));
  }
  SetHistoryLogNotice(nullptr);
  output.m_out(bJson ? FormatPlanJson(plan, &run) : FormatRunSummary(run, plan.m_changes.size()));
  return run;
}

}  // namespace

bool IsProcessElevated() {
  if (!IsElevationNeeded()) return true;
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const CHandle owned(token);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

int RunApplyCommand(const CProgramCommand& command, const CApplyOutput& output) {
  const auto fail = [&](const std::string& text, int code) {
    output.m_err("vantoric: " + text + "\n");
    return code;
  };
  if (command.m_command != ProgramCommand::Apply)
    return fail(command.m_strReason + "\n\n" + ProgramUsage(), APPLY_EXIT_BAD);
  std::string bytes;
  if (const DWORD error = ReadWholeFile(command.m_strFile, bytes); error != 0)
    return fail(command.m_strFile + " could not be read: " + GetSystemMessage(error), APPLY_EXIT_BAD);
  CWantedState wanted;
  if (const std::string error = ReadWantedState(bytes, wanted); !error.empty())
    return fail(command.m_strFile + ": " + error, APPLY_EXIT_BAD);

  CMachineReading machine;
  std::vector<std::string> names;
  if (const DWORD error = TakeAdapterSnapshot(machine.m_records, machine.m_nCount, names); error != 0)
    return fail("the network adapters could not be read: " + GetSystemMessage(error), APPLY_EXIT_FAILED);
  machine.m_bRoutes = ReadRoutesOfRecords(machine.m_records.get(), machine.m_nCount, machine.m_routes);
  const CApplyPlan plan = PlanApply(wanted, machine.ForPlan());
  if (!plan.m_strError.empty()) return fail(command.m_strFile + ": " + plan.m_strError, APPLY_EXIT_BAD);
  output.m_err(FormatPlanFindings(plan));
  if (plan.IsRefused())
    return fail("Nothing was changed: the file asks for changes that are refused.", APPLY_EXIT_BAD);

  const bool bChanges = !plan.m_changes.empty();
  if (command.m_bWhatIf || !bChanges) {
    if (command.m_bJson) output.m_out(FormatPlanJson(plan, nullptr));
    else if (bChanges) output.m_out(FormatPlanLines(plan, command.m_bPowerShell));
    else output.m_out("Nothing to do: the adapters match the file.\n");
    return bChanges ? APPLY_EXIT_CHANGES : APPLY_EXIT_DONE;
  }
  if (plan.HasWarnings() && !command.m_bForce)
    return fail("Nothing was changed: give /force to make the changes despite the warnings.", APPLY_EXIT_FAILED);
  if (!IsProcessElevated())
    return fail("The changes need administrator rights: run /apply from an elevated prompt. Nothing was changed.",
                APPLY_EXIT_FAILED);
  return ApplyRunExitCode(RunPlan(plan, command.m_bJson, output));
}

}  // namespace vantoric
