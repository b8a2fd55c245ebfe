#include "dialogs/diagnose_page_dlg.h"

#include <commctrl.h>

#include <utility>

#include "framework/clipboard.h"
#include "framework/controls.h"
#include "framework/file_write.h"
#include "framework/message_box.h"
#include "framework/save_file_dialog.h"
#include "framework/utf8.h"
#include "resources/resource_diagnose_dialog.h"

namespace vantoric {

namespace {

constexpr char kCaption[] = "Diagnose";
constexpr char kColumns[] = "Check, 125;Verdict, 62;Evidence, 120";
// The run's thread tells the page: wParam probes done, lParam planned; and
// the end of the run.
constexpr UINT WM_APP_DIAG_PROGRESS = WM_APP + 0x40;
constexpr UINT WM_APP_DIAG_DONE = WM_APP + 0x41;
constexpr int PROGRESS_STEPS = 100;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The tab titled `title` of the tab control, or -1.
int FindTab(HWND tab, const std::string& title) {
  const int count = static_cast<int>(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    if (::SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)) && Narrow(text) == title) return i;
  }
  return -1;
}

}  // namespace

CDiagnosePage::CDiagnosePage(std::vector<std::string> adapterNames)
    : CAdapterSettingsPage(IDD_DIAGNOSE, IDC_COMBO_DIAG_INTERFACE, std::move(adapterNames)) {}

CDiagnosePage::~CDiagnosePage() { JoinRun(); }

void CDiagnosePage::OnInitPage() {
  m_listChecks.SubclassDlgItem(IDC_LIST_DIAG_CHECKS, m_hWnd);
  m_listChecks.SetColumns(kColumns);
  // The evidence takes the rest of the width; the details below show it whole.
  m_listChecks.FitColumnsToList();
  SetDlgItemText(IDC_EDIT_DIAG_TARGET, DEFAULT_DIAGNOSIS_TARGET);
  SendDlgItemMessage(IDC_PROGRESS_DIAG, PBM_SETRANGE32, 0, PROGRESS_STEPS);
}

void CDiagnosePage::ReadAgain() {
  m_bHasReport = false;
  m_listChecks.DeleteAllItems();
  SetDlgItemText(IDC_STATIC_DIAG_CONCLUSION, "Run checks whether IPv6 works on " + ChosenName() +
                                                 ", and why not: it reads the settings and tries the target.");
  SendDlgItemMessage(IDC_PROGRESS_DIAG, PBM_SETPOS, 0);
  ShowDetails();
  ShowRunning(false);
}

void CDiagnosePage::ShowRunning(bool bRunning) {
  m_bRunning = bRunning;
  SetDlgItemText(IDC_BUTTON_DIAG_RUN, bRunning ? "&Cancel" : "&Run");
  EnableItem(IDC_COMBO_DIAG_INTERFACE, !bRunning);
  EnableItem(IDC_EDIT_DIAG_TARGET, !bRunning);
  EnableItem(IDC_BUTTON_DIAG_COPY, !bRunning && m_bHasReport);
  EnableItem(IDC_BUTTON_DIAG_SAVE, !bRunning && m_bHasReport);
}

void CDiagnosePage::OnRun() {
  if (m_bRunning) {
    OnCancelRun();
    return;
  }
  const std::string name = ChosenName();
  const std::string target = Trimmed(GetDlgItemText(IDC_EDIT_DIAG_TARGET));
  if (name.empty()) return;
  if (!target.empty() && !IsDiagnosisTarget(target)) {
    ShowMessage(Host(),
                "The target is neither a host name nor an IPv6 address. Enter a host name, such as "
                "ipv6.msftconnecttest.com, or an IPv6 address.",
                MB_OK | MB_ICONEXCLAMATION, kCaption);
    ::SendMessageW(Host(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_EDIT_DIAG_TARGET)), TRUE);
    return;
  }
  JoinRun();
  m_bHasReport = false;
  m_listChecks.DeleteAllItems();
  ShowDetails();
  SendDlgItemMessage(IDC_PROGRESS_DIAG, PBM_SETPOS, 0);
  SetDlgItemText(IDC_STATIC_DIAG_CONCLUSION, "Reading the settings of " + name + "...");
  m_pRun = std::make_shared<CRun>();
  ShowRunning(true);
  const std::shared_ptr<CRun> run = m_pRun;
  HWND page = m_hWnd;
  try {
    m_thread = std::thread([run, page, name, target] {
      CDiagnosisReading reading = ReadDiagnosis(name);
      CDiagnosisReport report;
      std::size_t told = static_cast<std::size_t>(-1);
      if (reading.m_state == DiagnosisReadState::Read)
        report = DiagnoseReadings(
            reading.m_readings, target, [run] { return run->m_bCancel.load(); },
            [page, &told](std::size_t done, std::size_t planned) {
              if (done == told) return;
              told = done;
              ::PostMessageW(page, WM_APP_DIAG_PROGRESS, done, static_cast<LPARAM>(planned));
            });
      {
        const std::lock_guard<std::mutex> lock(run->m_mutex);
        run->m_reading = std::move(reading);
        run->m_report = std::move(report);
      }
      ::PostMessageW(page, WM_APP_DIAG_DONE, 0, 0);
    });
  } catch (...) {
    SetDlgItemText(IDC_STATIC_DIAG_CONCLUSION, "The diagnosis could not be started: the system has no thread for it.");
    ShowRunning(false);
  }
}

void CDiagnosePage::OnCancelRun() {
  if (m_pRun) m_pRun->m_bCancel = true;
  SetDlgItemText(IDC_STATIC_DIAG_CONCLUSION, "Cancelling...");
}

void CDiagnosePage::OnProgress(std::size_t done, std::size_t planned) {
  if (!m_bRunning || planned == 0 || (m_pRun && m_pRun->m_bCancel)) return;
  SendDlgItemMessage(IDC_PROGRESS_DIAG, PBM_SETPOS, static_cast<WPARAM>(done * PROGRESS_STEPS / planned));
  SetDlgItemText(IDC_STATIC_DIAG_CONCLUSION,
                 "Checking: " + std::to_string(done) + " of " + std::to_string(planned) + " probes done...");
}

void CDiagnosePage::OnRunEnded() {
  JoinRun();
  if (!m_pRun) return;
  CDiagnosisReading reading;
  {
    const std::lock_guard<std::mutex> lock(m_pRun->m_mutex);
    reading = std::move(m_pRun->m_reading);
    m_report = std::move(m_pRun->m_report);
  }
  m_pRun.reset();
  SendDlgItemMessage(IDC_PROGRESS_DIAG, PBM_SETPOS, PROGRESS_STEPS);
  switch (reading.m_state) {
    case DiagnosisReadState::Read:
      m_bHasReport = true;
      ShowReport();
      break;
    case DiagnosisReadState::AdaptersUnread:
      SetDlgItemText(IDC_STATIC_DIAG_CONCLUSION,
                     "The network adapters could not be read: " + GetSystemMessage(reading.m_nError));
      break;
    case DiagnosisReadState::NoAdapter:
    case DiagnosisReadState::UnknownAdapter:
      SetDlgItemText(IDC_STATIC_DIAG_CONCLUSION, ChosenName() +
                                                     " is no longer there. Close Advanced Settings and refresh the "
                                                     "main window.");
      break;
  }
  ShowRunning(false);
}

void CDiagnosePage::ShowReport() {
  const std::vector<CCheckResult>& checks = m_report.m_diagnosis.m_checks;
  m_listChecks.DeleteAllItems();
  int first = 0;
  int firstWarning = -1;
  int firstProblem = -1;
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const int row = m_listChecks.AddItem(static_cast<int>(i), DiagnosisCheckName(checks[i].m_check),
                                         {VerdictText(checks[i].m_verdict).c_str(), checks[i].m_strEvidence.c_str()},
                                         static_cast<DWORD>(i));
    if (checks[i].m_verdict == Verdict::Problem && firstProblem < 0) firstProblem = row;
    if (checks[i].m_verdict == Verdict::Warning && firstWarning < 0) firstWarning = row;
  }
  // The first problem is what to look at first, then the first warning.
  first = firstProblem >= 0 ? firstProblem : firstWarning >= 0 ? firstWarning : 0;
  SetDlgItemText(IDC_STATIC_DIAG_CONCLUSION, m_report.m_diagnosis.m_strConclusion);
  m_listChecks.SelectItem(first);
  CListView(m_listChecks.GetSafeHwnd()).EnsureVisible(first);
  ShowDetails();
}

const CCheckResult* CDiagnosePage::SelectedCheck() const {
  if (!m_bHasReport) return nullptr;
  const CListItemData* pData = m_listChecks.GetItemData(m_listChecks.GetFirstSelectedItem());
  if (pData == nullptr || pData->m_dwData >= m_report.m_diagnosis.m_checks.size()) return nullptr;
  return &m_report.m_diagnosis.m_checks[pData->m_dwData];
}

void CDiagnosePage::ShowDetails() {
  const CCheckResult* pCheck = SelectedCheck();
  std::string details;
  if (pCheck != nullptr) {
    details =
        DiagnosisCheckName(pCheck->m_check) + ": " + VerdictText(pCheck->m_verdict) + ". " + pCheck->m_strEvidence;
    if (!pCheck->m_strAction.empty()) details += "\r\nWhat to do: " + pCheck->m_strAction;
  }
  SetDlgItemText(IDC_EDIT_DIAG_DETAILS, details);
  const bool bFix = pCheck != nullptr && pCheck->m_fix != FixPage::None &&
                    (pCheck->m_verdict == Verdict::Problem || pCheck->m_verdict == Verdict::Warning);
  if (bFix) SetDlgItemText(IDC_BUTTON_DIAG_FIX, "&Open the " + FixPageTitle(pCheck->m_fix) + " page");
  HWND fix = GetDlgItem(IDC_BUTTON_DIAG_FIX);
  // The focus leaves a button before it is hidden.
  if (!bFix && ::GetFocus() == fix)
    ::SendMessageW(Host(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_listChecks.GetSafeHwnd()), TRUE);
  ::ShowWindow(fix, bFix ? SW_SHOW : SW_HIDE);
}

void CDiagnosePage::OnFix() {
  const CCheckResult* pCheck = SelectedCheck();
  HWND tab = ::GetParent(m_hWnd);
  const int index = pCheck != nullptr ? FindTab(tab, FixPageTitle(pCheck->m_fix)) : -1;
  if (index < 0) return;
  // As a click on that tab: the tab control shows its page when it hears
  // of the new selection, and the page takes the focus.
  ::SendMessageW(tab, TCM_SETCURSEL, index, 0);
  NMHDR change{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGE)};
  ::SendMessageW(::GetParent(tab), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
  for (HWND page = ::FindWindowExW(tab, nullptr, L"#32770", nullptr); page != nullptr;
       page = ::FindWindowExW(tab, page, L"#32770", nullptr)) {
    if (page == m_hWnd || !::IsWindowVisible(page)) continue;
    HWND first = ::GetNextDlgTabItem(page, nullptr, FALSE);
    ::SendMessageW(Host(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first != nullptr ? first : tab), TRUE);
    break;
  }
}

void CDiagnosePage::OnCopy() {
  if (!m_bHasReport) return;
  if (!CopyTextToClipboard(m_hWnd, FormatDiagnosisText(m_report)))
    ShowMessage(Host(), "The clipboard could not be opened. Try again.", MB_OK | MB_ICONERROR, kCaption);
}

void CDiagnosePage::OnSave() {
  if (!m_bHasReport) return;
  CSaveFileRequest request;
  request.m_pFilter = L"Text report (*.txt)\0*.txt\0JSON report (*.json)\0*.json\0";
  request.m_nFilterIndex = REPORT_FILTER_TEXT;
  request.m_pDefaultExtension = L"txt";
  request.m_strProposed = L"vantoric-diagnosis";
  CSaveFileChoice choice;
  if (const DWORD error = AskFileToSave(Host(), request, choice); error != 0) {
    ShowMessage(Host(), "The save dialog could not be opened: " + GetSystemMessage(error), MB_OK | MB_ICONERROR,
                kCaption);
    return;
  }
  if (choice.m_strPath.empty()) return;  // cancelled
  const CReportFile file = ChooseReportFile(choice.m_strPath, choice.m_nFilterIndex);
  if (!ConfirmReplace(Host(), file.m_strPath, kCaption)) return;
  const CFileWriteResult written = WriteFileReplacing(
      Widen(file.m_strPath), file.m_bJson ? FormatDiagnosisJson(m_report) : FormatDiagnosisText(m_report));
  if (written.m_nError != 0)
    ShowMessage(Host(),
                "The report could not be saved: " + GetSystemMessage(written.m_nError) +
                    (written.m_strFiles.empty() ? "" : "\n\n" + written.m_strFiles),
                MB_OK | MB_ICONERROR, kCaption);
}

void CDiagnosePage::JoinRun() {
  if (!m_thread.joinable()) return;
  if (m_pRun) m_pRun->m_bCancel = true;
  m_thread.join();
}

void CDiagnosePage::OnDestroy() {
  JoinRun();
  CAdapterSettingsPage::OnDestroy();
}

bool CDiagnosePage::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  if (nCode == BN_CLICKED) {
    switch (nId) {
      case IDC_BUTTON_DIAG_RUN:
        OnRun();
        return true;
      case IDC_BUTTON_DIAG_FIX:
        OnFix();
        return true;
      case IDC_BUTTON_DIAG_COPY:
        OnCopy();
        return true;
      case IDC_BUTTON_DIAG_SAVE:
        OnSave();
        return true;
      default:
        break;
    }
  }
  return CAdapterSettingsPage::OnCommand(nId, nCode, hCtl);
}

bool CDiagnosePage::OnNotify(NMHDR* pHdr, LRESULT& result) {
  if (pHdr->idFrom == IDC_LIST_DIAG_CHECKS && pHdr->code == LVN_ITEMCHANGED &&
      (reinterpret_cast<const NMLISTVIEW*>(pHdr)->uChanged & LVIF_STATE) != 0) {
    ShowDetails();
    result = 0;
    return true;
  }
  return CAdapterSettingsPage::OnNotify(pHdr, result);
}

bool CDiagnosePage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_APP_DIAG_PROGRESS:
      OnProgress(static_cast<std::size_t>(wp), static_cast<std::size_t>(lp));
      result = 0;
      return true;
    case WM_APP_DIAG_DONE:
      OnRunEnded();
      result = 0;
      return true;
    default:
      return CAdapterSettingsPage::OnMessage(msg, wp, lp, result);
  }
}

}  // namespace vantoric
