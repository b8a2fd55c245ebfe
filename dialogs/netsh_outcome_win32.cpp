#include "dialogs/netsh_outcome_win32.h"

#include "framework/message_box.h"

namespace vantoric {

CNetshResult RunCommandForWindow(std::string_view line, CNetshRunner& runner, HWND owner, bool bElevate) {
  CNetshRunOptions options;
  options.m_hOwner = owner;
  return RunNetshCommand(line, &runner, bElevate, options);
}

CChange MakeAddressChange(ChangeKind kind, std::string_view interfaceName, std::string_view address,
                          std::string_view type, std::string_view validLifetime, std::string_view preferredLifetime) {
  CChange change;
  change.m_kind = kind;
  change.m_strInterface = interfaceName;
  change.m_strAddress = address;
  change.m_strType = type;
  change.m_strValidLifetime = validLifetime;
  change.m_strPreferredLifetime = preferredLifetime;
  return change;
}

void NoteAddressBefore(CChange& change, const CAddressRecord& address, const CCommandHistory* pHistory) {
  change.m_bHadBefore = true;
  change.m_strTypeBefore = "unicast";
  change.m_nValidSecondsBefore = address.m_nValidSeconds;
  change.m_nPreferredSecondsBefore = address.m_nPreferredSeconds;
  change.m_strOriginBefore = address.m_strKind;
  change.m_nReadingTime = pHistory != nullptr ? pHistory->GetReadingTime() : 0;
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
