#include "dialogs/history_dlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <utility>

#include "dialogs/history_dialog_rules.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/clipboard.h"
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

CHistoryDlg::CHistoryDlg(CCommandHistory& history, std::vector<std::string> adapterNames, const CProfile* pProfile)
    : CResizeDialog(IDD_HISTORY, pProfile), m_history(history), m_adapterNames(std::move(adapterNames)) {
  for (const CAnchor& anchor : kAnchors) AddAnchor(anchor.flags, anchor.controlId);
}

BOOL CHistoryDlg::OnInitDialog() {
  CResizeDialog::OnInitDialog();
  m_list.SubclassDlgItem(IDC_LIST_HISTORY, m_hWnd);
  m_list.SetColumns("Time, 115;Adapter, 90;Command, 330;Outcome, 125");
  FillList();
  return TRUE;
}

void CHistoryDlg::FillList() {
  m_list.DeleteAllItems();
  const std::vector<CHistoryEntry>& entries = m_history.GetEntries();
  // Newest first, until a heading click sorts otherwise.
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    const std::vector<std::string> texts = HistoryRowTexts(*it);
    m_list.AddItem(m_list.GetItemCount(), texts[0], {texts[1].c_str(), texts[2].c_str(), texts[3].c_str()},
                   static_cast<DWORD>(it->m_nId));
  }
  ShowDetails();
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
  const CHistoryEntry* pEntry = ids.empty() ? nullptr : m_history.Find(ids[0]);
  SetDlgItemText(IDC_EDIT_HISTORY_OUTPUT, pEntry != nullptr ? FormatHistoryDetails(*pEntry) : std::string());
  ::EnableWindow(GetDlgItem(IDC_BUTTON_HISTORY_COPY), !ids.empty());
  ::EnableWindow(GetDlgItem(IDC_BUTTON_HISTORY_COPY_PS), !ids.empty());
}

void CHistoryDlg::OnCopy(bool bPowerShell) {
  const std::vector<int> ids = SelectedIds();
  if (ids.empty()) return;
  if (!CopyTextToClipboard(m_hWnd, FormatCopiedLines(ChooseHistoryEntries(m_history, ids), bPowerShell)))
    ShowMessage(m_hWnd, "The clipboard could not be opened. Try again.", MB_OK | MB_ICONERROR, kCaption);
}

void CHistoryDlg::OnSave() {
  const std::vector<const CHistoryEntry*> entries = ChooseHistoryEntries(m_history, SelectedIds());
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
  ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!pfnGetSaveFileName(&ofn)) return;  // cancelled
  const std::string chosen = Narrow(file.c_str());
  const ScriptKind kind = ChooseScriptKind(chosen, static_cast<int>(ofn.nFilterIndex));
  WriteScript(Widen(WithScriptExtension(chosen, kind)),
              FormatHistoryScript(entries, kind, FormatLocalTimeNow(), MachineName()));
}

bool CHistoryDlg::WriteScript(const std::wstring& path, const std::string& text) {
  CHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  const bool bWritten = static_cast<bool>(file) &&
                        ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                        written == text.size();
  if (bWritten) return true;
  const DWORD error = ::GetLastError();
  ShowMessage(m_hWnd, "The script could not be saved: " + GetSystemMessage(error), MB_OK | MB_ICONERROR,
              kSaveCaption);
  return false;
}

void CHistoryDlg::OnUndo() {
  const CUndoPlan plan = PlanUndo(m_history, CurrentUnixTime(), m_adapterNames);
  if (!plan.m_strRefusal.empty()) {
    ShowMessage(m_hWnd, plan.m_strRefusal, MB_OK | MB_ICONEXCLAMATION, kUndoCaption);
    return;
  }
  if (ShowMessage(m_hWnd, FormatUndoQuestion(plan), MB_OKCANCEL | MB_ICONQUESTION, kUndoCaption) != IDOK) return;
  // Each command of the plan runs and is recorded as any other; the first
  // that does not succeed ends the undo, and what ran stays taken back.
  for (size_t i = 0; i < plan.m_changes.size(); ++i) {
    const int nUndoes = i < plan.m_undoneIds.size() ? plan.m_undoneIds[i] : 0;
    const CNetshResult result = RunChangeForWindow(plan.m_changes[i], m_runner, m_hWnd, &m_history, 0, nUndoes);
    m_bRanCommand = 1;
    if (!result.Succeeded()) {
      FillList();
      ReportNetshFailure(m_hWnd, result, kUndoCaption, "Undo cancelled.", kUndoCaption);
      return;
    }
    m_history.MarkUndone({nUndoes});
  }
  FillList();
  ShowMessage(m_hWnd, "The change was undone.", MB_OK | MB_ICONINFORMATION, kUndoCaption);
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
