#include "dialogs/netsh_outcome_win32.h"

#include "framework/message_box.h"

namespace vantoric {

CNetshResult RunCommandForWindow(std::string_view line, CNetshRunner& runner, HWND owner, bool bElevate) {
  CNetshRunOptions options;
  options.m_hOwner = owner;
  return RunNetshCommand(line, &runner, bElevate, options);
}

void ReportNetshFailure(HWND owner, const CNetshResult& result, std::string_view caption,
                        std::string_view cancelText, std::string_view cancelCaption) {
  if (result.Succeeded()) return;
  if (result.m_outcome == NetshOutcome::ElevationRefused) {
    ShowMessage(owner, cancelText, MB_OK, cancelCaption);
    return;
  }
  ShowMessage(owner, DescribeNetshResult(result), MB_OK | MB_ICONERROR, caption);
}

}  // namespace vantoric
