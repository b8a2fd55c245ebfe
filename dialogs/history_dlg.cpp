#include "dialogs/history_dlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <utility>

#include "core/history_log_win32.h"
#include "dialogs/history_dialog_rules.h"
#include "dialogs/netsh_outcome_win32.h"
#include "dialogs/undo_run_win32.h"
#include "framework/clipboard.h"
#include "framework/file_write.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "framework/system_library.h"
#include "framework/utf8.h"
#include "resources/resource_history_dialog.h"

namespace vantoric {

namespace {

constexpr char kCaption[] = "History";
constexpr char kUndoCaption[] = "Undo";
constexpr char kSaveCaption[] = "Save as script";

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
  m_earlier = ReadEarlierHistory(m_history.GetRun());
  FillList();
  return TRUE;
}

void CHistoryDlg::FillList() {
  m_list.DeleteAllItems();
  // Newest first, this run's above the earlier runs', until a heading click
  // sorts otherwise.
  for (const std::vector<CHistoryEntry>* pEntries : {&m_history.GetEntries(), &std::as_const(m_earlier)}) {
    for (auto it = pEntries->rbegin(); it != pEntries->rend(); ++it) {
      const std::vector<std::string> texts = HistoryRowTexts(*it);
      m_list.AddItem(m_list.GetItemCount(), texts[0], {texts[1].c_str(), texts[2].c_str(), texts[3].c_str()},
                     static_cast<DWORD>(it->m_nId));
    }
  }
  ShowDetails();
}

const CHistoryEntry* CHistoryDlg::FindEntry(int id) const {
  for (const CHistoryEntry& entry : m_earlier)
    if (entry.m_nId == id) return &entry;
  return m_history.Find(id);
}

std::vector<int> CHistoryDlg::SelectedIds() const {
  std::vector<int> ids;
  const CListView list(m_list.GetSafeHwnd());
  for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED)) {
    if (const CListItemData* pData = m_list.GetItemData(row)) ids.push_back(static_cast<int>(pData->m_dwData));
  }
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
  if (!CopyTextToClipboard(m_hWnd, FormatCopiedLines(ChooseHistoryEntries(m_history, m_earlier, ids), bPowerShell)))
    ShowMessage(m_hWnd, "The clipboard could not be opened. Try again.", MB_OK | MB_ICONERROR, kCaption);
}

void CHistoryDlg::OnSave() {
  const std::vector<const CHistoryEntry*> entries = ChooseHistoryEntries(m_history, m_earlier, SelectedIds());
  if (entries.empty()) {
    ShowMessage(m_hWnd, "There is no successful change to save.", MB_OK | MB_ICONEXCLAMATION, kSaveCaption);
    return;
  }
  using GetSaveFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto pfnGetSaveFileName = GetSystemFunction<GetSaveFileNameFn>(L"comdlg32.dll", "GetSaveFileNameW");
  if (pfnGetSaveFileName == nullptr) {
    ShowMessage(m_hWnd, "The save dialog could not be opened: " + GetSystemMessage(::GetLastError()),
                MB_OK | MB_ICONERROR, kSaveCaption);
    return;
  }
  std::wstring file(32768, L'\0');
  const std::wstring proposed = L"vantoric-changes";
  file.replace(0, proposed.size(), proposed);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_hWnd;
  ofn.lpstrFilter = L"Command script (*.cmd)\0*.cmd\0PowerShell script (*.ps1)\0*.ps1\0";
  ofn.nFilterIndex = SCRIPT_FILTER_CMD;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = L"cmd";
  // The overwrite question comes below, once the extension is on the name.
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!pfnGetSaveFileName(&ofn)) return;  // cancelled
  const std::string chosen = Narrow(file.c_str());
  const ScriptKind kind = ChooseScriptKind(chosen, static_cast<int>(ofn.nFilterIndex));
  const std::string path = WithScriptExtension(chosen, kind);
  if (::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES &&
      ShowMessage(m_hWnd, path + " already exists.\nDo you want to replace it?",
                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, kSaveCaption) != IDYES)
    return;
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
