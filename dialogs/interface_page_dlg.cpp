#include "dialogs/interface_page_dlg.h"

#include <utility>

#include "core/connection_guard_win32.h"
#include "core/interface_settings_win32.h"
#include "dialogs/address_dialog_parts_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "resources/resource_link_dialogs.h"

namespace vantoric {

namespace {

constexpr char kCaption[] = "Interface Settings";
constexpr char kNotSupported[] =
    "The IPv6 interface settings cannot be shown on this version of Windows: it lacks the function that reads "
    "them. Addresses, DNS servers and routes still work in the other pages.";
constexpr char kReadFailed[] = "The IPv6 interface settings of this adapter could not be read: ";
constexpr char kNoIdentity[] = "Windows does not tell which interface this adapter is, so its settings cannot be read.";
// The list's place, in client pixels at the dialog font's usual base units.
constexpr RECT kListRect{21, 52, 354, 237};

}  // namespace

CInterfacePage::CInterfacePage(std::vector<std::string> adapterNames)
    : CAdapterSettingsPage(IDD_INTERFACE_SETTINGS, IDC_COMBO_IFSET_INTERFACE, std::move(adapterNames)) {}

void CInterfacePage::OnInitPage() { m_listFont = CreatePropertyListFont(m_hWnd); }

void CInterfacePage::ShowNote(const std::string& note) {
  SetDlgItemText(IDC_STATIC_IFSET_NOTE, note);
  const int noteShow = note.empty() ? SW_HIDE : SW_SHOW;
  const int rowsShow = note.empty() ? SW_SHOW : SW_HIDE;
  ::ShowWindow(GetDlgItem(IDC_STATIC_IFSET_NOTE), noteShow);
  for (int id : {IDC_STATIC_IFSET_REACHABLE, IDC_CHECK_IFSET_ACTIVE, IDC_BUTTON_IFSET_APPLY})
    ::ShowWindow(GetDlgItem(id), rowsShow);
  if (m_pList) ::ShowWindow(m_pList->GetSafeHwnd(), rowsShow);
}

void CInterfacePage::ShowRows() {
  if (m_pList) {
    const HWND old = m_pList->GetSafeHwnd();
    m_pList.reset();
    ::DestroyWindow(old);
  }
  m_pList = std::make_unique<CPropertyListCtrl>();
  if (!CreatePropertyList(*m_pList, m_hWnd, kListRect, m_listFont.get(), IDC_IFSET_PROPERTY_LIST,
                          IDC_STATIC_IFSET_LABEL)) {
    m_pList.reset();
    return;
  }
  // Every text is taken as typed; Apply checks them all and names the field.
  m_pList->SetTextCheck([](std::string_view) { return true; });
  m_pList->SetHost(PropertyListHost::Page);
  for (const CInterfaceRow& row : MakeInterfaceRows(m_read))
    m_pList->AddProperty(row.m_bChoice ? PROPERTY_KIND_CHOICE : PROPERTY_KIND_TEXT, row.m_strName, row.m_strValue,
                         row.m_nChoice, 2, false);
}

void CInterfacePage::ReadAgain() {
  m_bRead = false;
  const std::string name = ChosenName();
  std::uint64_t id = 0;
  std::string note;
  if (name.empty()) {
    note = "No adapter is chosen.";
  } else if (!ReadInterfaceId(name, id)) {
    note = kNoIdentity;
  } else {
    const CInterfaceReading reading = ReadInterfaceSettings(id);
    if (reading.m_state == InterfaceReadState::NotSupported) note = kNotSupported;
    else if (reading.m_state == InterfaceReadState::Failed) note = kReadFailed + GetSystemMessage(reading.m_nError);
    m_bRead = reading.m_state == InterfaceReadState::Read;
    m_read = reading.m_settings;
  }
  if (m_bRead) {
    ShowRows();
    SetDlgItemText(IDC_STATIC_IFSET_REACHABLE, FormatReachableTime(m_read));
  }
  ShowNote(note);
  EnableItem(IDC_BUTTON_IFSET_APPLY, false);
}

CInterfaceInput CInterfacePage::PeekInput() const {
  CInterfaceInput input;
  for (std::size_t i = 0; i < INTERFACE_FIELD_COUNT; ++i) input[i] = m_pList->PeekPropertyText(static_cast<int>(i));
  return input;
}

bool CInterfacePage::Apply(bool bTell) {
  const std::string name = ChosenName();
  if (!m_bRead || !m_pList || name.empty()) return true;
  // Text being typed becomes the row's value first.
  std::string text;
  for (std::size_t i = 0; i < INTERFACE_FIELD_COUNT; ++i) m_pList->GetPropertyText(static_cast<int>(i), text);
  const CInterfaceCheck check = CheckInterfaceInput(PeekInput(), m_read);
  if (!check.m_bPassed) {
    ShowMessage(Host(), check.m_strText, MB_OK | MB_ICONEXCLAMATION, kCaption);
    m_pList->SelectRow(static_cast<int>(check.m_field));
    return false;
  }
  CChange change;
  change.m_kind = ChangeKind::SetInterface;
  change.m_strInterface = name;
  change.m_interface = {m_read, check.m_wanted, ::IsDlgButtonChecked(m_hWnd, IDC_CHECK_IFSET_ACTIVE) == BST_CHECKED};
  if (ChangedInterfaceFields(m_read, check.m_wanted).empty()) return true;
  if (TurnsOnRouting(change.m_interface) &&
      ShowMessage(Host(), FormatRouterQuestion(name, change.m_interface), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2,
                  kCaption) != IDYES)
    return false;
  const CNetshResult result = RunChange(change);
  if (!result.Succeeded()) {
    // What was typed stays, for another try.
    ReportNetshFailure(Host(), result, kCaption, "Changing the interface settings is cancelled.", kCaption);
    return false;
  }
  if (bTell) ShowMessage(Host(), "The interface settings were changed.", MB_OK | MB_ICONINFORMATION, kCaption);
  ReadAgain();
  return true;
}

bool CInterfacePage::HasPendingChange() const {
  return m_bRead && m_pList && IsInterfaceInputChanged(PeekInput(), m_read);
}

bool CInterfacePage::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  if (nId == IDC_BUTTON_IFSET_APPLY) {
    if (nCode == BN_CLICKED) OnApply();
    return true;
  }
  return CAdapterSettingsPage::OnCommand(nId, nCode, hCtl);
}

bool CInterfacePage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_PROPLIST_NOTIFY) return CAdapterSettingsPage::OnMessage(msg, wp, lp, result);
  EnableItem(IDC_BUTTON_IFSET_APPLY, HasPendingChange());
  result = 0;
  return true;
}

}  // namespace vantoric
