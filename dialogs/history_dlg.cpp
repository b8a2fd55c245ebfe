#include "dialogs/history_dlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdint>
#include <iterator>
#include <utility>

#include "dialogs/earlier_history_win32.h"
#include "dialogs/history_dialog_rules.h"
#include "dialogs/netsh_outcome_win32.h"
#include "dialogs/undo_run_win32.h"
#include "framework/clipboard.h"
#include "framework/file_write.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "framework/save_file_dialog.h"
#include "framework/system_library.h"
#include "framework/utf8.h"
#include "resources/resource_history_dialog.h"

namespace vantoric {

namespace {

constexpr char kCaption[] = "History";
constexpr char kUndoCaption[] = "Undo";
constexpr char kSaveCaption[] = "Save as script";
// Posted by the reading of the log once the earlier runs' entries are read.
constexpr UINT WM_EARLIER_HISTORY_READ = WM_APP + 1;

struct CAnchor {
  unsigned flags;
  unsigned controlId;
};
constexpr unsigned R = ANCHOR_RIGHT, B = ANCHOR_BOTTOM, W = ANCHOR_WIDTH, H = ANCHOR_HEIGHT;
constexpr CAnchor kAnchors[] = {
    {W | H, IDC_LIST_HISTORY},          {B, IDC_STATIC_HISTORY_OUTPUT},  {B | W, IDC_EDIT_HISTORY_OUTPUT},
    {B, IDC_BUTTON_HISTORY_COPY},       {B, IDC_BUTTON_HISTORY_COPY_PS}, {B, IDC_BUTTON_HISTORY_SAVE},
    {B, IDC_BUTTON_HISTORY_UNDO},       {R | B, IDCANCEL},
};

// The list's rows of the entries, newest first.
std::vector<CVirtualRow> RowsOf(const std::vector<CHistoryEntry>& entries) {
  std::vector<CVirtualRow> rows;
  rows.reserve(entries.size());
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    rows.push_back({HistoryRowTexts(*it), static_cast<std::uint32_t>(it->m_nId)});
  return rows;
}

std::string MachineName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return ::GetComputerNameW(name, &size) ? Narrow(name) : std::string("(unknown)");
}

}  // namespace

CHistoryDlg::CHistoryDlg(CCommandHistory& history, const CProfile* pProfile)
    : CResizeDialog(IDD_HISTORY, pProfile), m_history(history) {
  for (const CAnchor& anchor : kAnchors) AddAnchor(anchor.flags, anchor.controlId);
}

BOOL CHistoryDlg::OnInitDialog() {
  CResizeDialog::OnInitDialog();
  m_list.SubclassDlgItem(IDC_LIST_HISTORY, m_hWnd);
  m_list.SetColumns("Time, 115;Adapter, 90;Command, 330;Outcome, 125");
  FillList();
  TakeEarlier();
  return TRUE;
}

const std::vector<CHistoryEntry>& CHistoryDlg::Earlier() const {
  static const std::vector<CHistoryEntry> none;
  return m_pEarlier ? *m_pEarlier : none;
}

void CHistoryDlg::TakeEarlier() {
  if (m_pEarlier) return;
  m_pEarlier = TakeEarlierHistory(m_history.GetRun(), m_hWnd, WM_EARLIER_HISTORY_READ);
  if (m_pEarlier) m_list.AppendRows(RowsOf(*m_pEarlier));
}

void CHistoryDlg::FillList() {
  // Newest first, this run's above the earlier runs', until a heading click
  // sorts otherwise.
  std::vector<CVirtualRow> rows = RowsOf(m_history.GetEntries());
  std::vector<CVirtualRow> earlier = RowsOf(Earlier());
  rows.insert(rows.end(), std::make_move_iterator(earlier.begin()), std::make_move_iterator(earlier.end()));
  m_list.SetRows(std::move(rows));
  ShowDetails();
}

const CHistoryEntry* CHistoryDlg::FindEntry(int id) const {
  for (const CHistoryEntry& entry : Earlier())
    if (entry.m_nId == id) return &entry;
  return m_history.Find(id);
}

std::vector<int> CHistoryDlg::SelectedIds() const {
  std::vector<int> ids;
  for (std::uint32_t data : m_list.GetSelectedData()) ids.push_back(static_cast<int>(data));
  return ids;
}

void CHistoryDlg::ShowDetails() {
  const std::vector<int> ids = SelectedIds();
  const CHistoryEntry* pEntry = ids.empty() ? nullptr : FindEntry(ids[0]);
  SetDlgItemText(IDC_EDIT_HISTORY_OUTPUT, pEntry != nullptr ? FormatHistoryDetails(*pEntry) : std::string());
  ::EnableWindow(GetDlgItem(IDC_BUTTON_HISTORY_COPY), !ids.empty());
  ::EnableWindow(GetDlgItem(IDC_BUTTON_HISTORY_COPY_PS), !ids.empty());
}

void CHistoryDlg::OnCopy(bool bPowerShell) {
  const std::vector<int> ids = SelectedIds();
  if (ids.empty()) return;
  if (!CopyTextToClipboard(m_hWnd, FormatCopiedLines(ChooseHistoryEntries(m_history, Earlier(), ids), bPowerShell)))
    ShowMessage(m_hWnd, "The clipboard could not be opened. Try again.", MB_OK | MB_ICONERROR, kCaption);
}

void CHistoryDlg::OnSave() {
  const std::vector<const CHistoryEntry*> entries = ChooseHistoryEntries(m_history, Earlier(), SelectedIds());
  if (entries.empty()) {
    ShowMessage(m_hWnd, "There is no successful change to save.", MB_OK | MB_ICONEXCLAMATION, kSaveCaption);
    return;
  }
  CSaveFileRequest request;
  request.m_pFilter = L"Command script (*.cmd)\0*.cmd\0PowerShell script (*.ps1)\0*.ps1\0";
  request.m_nFilterIndex = SCRIPT_FILTER_CMD;
  request.m_pDefaultExtension = L"cmd";
  request.m_strProposed = L"vantoric-changes";
  CSaveFileChoice choice;
  if (const DWORD error = AskFileToSave(m_hWnd, request, choice); error != 0) {
    ShowMessage(m_hWnd, "The save dialog could not be opened: " + GetSystemMessage(error), MB_OK | MB_ICONERROR,
                kSaveCaption);
    return;
  }
  if (choice.m_strPath.empty()) return;  // cancelled
  const ScriptKind kind = ChooseScriptKind(choice.m_strPath, choice.m_nFilterIndex);
  const std::string path = WithScriptExtension(choice.m_strPath, kind);
  if (!ConfirmReplace(m_hWnd, path, kSaveCaption)) return;
  WriteScript(Widen(path), FormatHistoryScript(entries, kind, FormatLocalTimeNow(), MachineName()));
}

bool CHistoryDlg::WriteScript(const std::wstring& path, const std::string& text) {
  const CFileWriteResult written = WriteFileReplacing(path, text);
  if (written.m_nError == 0) return true;
  ShowMessage(m_hWnd,
              "The script could not be saved: " + GetSystemMessage(written.m_nError) +
                  (written.m_strFiles.empty() ? "" : "\n\n" + written.m_strFiles),
              MB_OK | MB_ICONERROR, kSaveCaption);
  return false;
}

void CHistoryDlg::OnUndo() {
  // The adapters are read again: a name may have moved to another interface
  // since the change, and the guards weigh the machine as it is now.
  CUndoReading reading;
  if (!ReadAdaptersForUndo(m_hWnd, reading)) return;
  const CUndoPlan plan = PlanUndo(m_history, CurrentUnixTime(), reading.m_identities);
  if (!plan.m_strRefusal.empty()) {
    ShowMessage(m_hWnd, plan.m_strRefusal, MB_OK | MB_ICONEXCLAMATION, kUndoCaption);
    return;
  }
  if (!PassUndoGuards(m_hWnd, plan, reading)) return;
  if (ShowMessage(m_hWnd, FormatUndoQuestion(plan), MB_OKCANCEL | MB_ICONQUESTION, kUndoCaption) != IDOK) return;
  // Each command of the plan runs and is recorded as any other; the first
  // that does not succeed ends the undo, and what ran stays taken back.
  CNetshResult failure;
  const size_t ran = RunUndoPlan(plan, m_runner, m_hWnd, m_history, failure);
  m_bRanCommand = 1;
  FillList();
  if (ran == plan.m_changes.size()) {
    ShowMessage(m_hWnd, "The change was undone.", MB_OK | MB_ICONINFORMATION, kUndoCaption);
  } else if (ran > 0) {
    ShowMessage(m_hWnd, FormatPartialUndo(plan, ran, failure), MB_OK | MB_ICONERROR, kUndoCaption);
  } else {
    ReportNetshFailure(m_hWnd, failure, kUndoCaption, "Undo cancelled.", kUndoCaption);
  }
}

bool CHistoryDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_EARLIER_HISTORY_READ) return CResizeDialog::OnMessage(msg, wp, lp, result);
  TakeEarlier();
  result = 0;
  return true;
}

void CHistoryDlg::OnDestroy() {
  ForgetEarlierHistoryWindow(m_hWnd);
  CResizeDialog::OnDestroy();
}

bool CHistoryDlg::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  switch (nId) {
    case IDC_BUTTON_HISTORY_COPY:
      OnCopy(false);
      return true;
    case IDC_BUTTON_HISTORY_COPY_PS:
      OnCopy(true);
      return true;
    case IDC_BUTTON_HISTORY_SAVE:
      OnSave();
      return true;
    case IDC_BUTTON_HISTORY_UNDO:
      OnUndo();
      return true;
    default:
      return CResizeDialog::OnCommand(nId, nCode, hCtl);
  }
}

bool CHistoryDlg::OnNotify(NMHDR* pHdr, LRESULT& result) {
  if (pHdr->idFrom != IDC_LIST_HISTORY) return CResizeDialog::OnNotify(pHdr, result);
  if (pHdr->code == LVN_ITEMCHANGED) {
    const auto* pChange = reinterpret_cast<const NMLISTVIEW*>(pHdr);
    if ((pChange->uChanged & LVIF_STATE) != 0) ShowDetails();
    result = 0;
    return true;
  }
  if (pHdr->code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN*>(pHdr)->wVKey == 'C' &&
      ::GetKeyState(VK_CONTROL) < 0) {
    OnCopy(false);
    result = 0;
    return true;
  }
  return CResizeDialog::OnNotify(pHdr, result);
}

}  // namespace vantoric
