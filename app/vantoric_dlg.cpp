#include "app/vantoric_dlg.h"

#include <commctrl.h>

#include <new>

#include "app/about_dlg.h"
#include "app/help_win32.h"
#include "core/adapter_enumeration_win32.h"
#include "framework/message_box.h"
#include "framework/utf8.h"
#include "resources/resource.h"

namespace vantoric {

namespace {

struct CColumn {
  const char* heading;
  int width;
};
constexpr CColumn kColumns[] = {
    {"IPv6 Address", 280}, {"Type", 50}, {"DAD", 75}, {"Valid Life", 80}, {"Pref. Life", 80},
};

// How each control follows the window's edges, in the order applied.
struct CAnchor {
  unsigned flags;
  unsigned controlId;
};
constexpr unsigned R = ANCHOR_RIGHT, B = ANCHOR_BOTTOM, W = ANCHOR_WIDTH, H = ANCHOR_HEIGHT;
constexpr CAnchor kAnchors[] = {
    {R | B, IDOK},
    {R | B, IDC_BUTTON_HELP},
    {R | B, IDC_BUTTON_ADVANCED},
    {W | H, IDC_FRAME_INFORMATION},
    {B | W, IDC_FRAME_DESCRIPTION},
    {B, IDC_STATIC_DESCRIPTION},
    {W | H, IDC_LIST_ADDRESSES},
    {R | B, IDC_BUTTON_ADD},
    {R | B, IDC_BUTTON_EDIT},
    {R | B, IDC_BUTTON_REMOVE},
    {R | B, IDC_BUTTON_REFRESH},
    {W, IDC_FRAME_ADAPTER},
    {W, IDC_COMBO_ADAPTER},
    {B, IDC_LOGO},
    {B, IDC_WEBLINK},
};

}  // namespace

CVantoricDlg::CVantoricDlg(const CProfile* pProfile) : CResizeDialog(IDD_VANTORIC_DIALOG, pProfile) {
  for (const CAnchor& anchor : kAnchors) AddAnchor(anchor.flags, anchor.controlId);
  m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CVantoricDlg::~CVantoricDlg() { ReleaseAdapters(); }

CComboBox CVantoricDlg::Chooser() const { return CComboBox(GetDlgItem(IDC_COMBO_ADAPTER)); }

BOOL CVantoricDlg::OnInitDialog() {
  // The controls that the window drives through objects, and the initial
  // description text.
  m_logo.SubclassDlgItem(IDC_LOGO, m_hWnd);
  m_listAddresses.Attach(GetDlgItem(IDC_LIST_ADDRESSES));
  SetDlgItemText(IDC_STATIC_DESCRIPTION, m_strDescription);
  CResizeDialog::OnInitDialog();

  HMENU sysMenu = ::GetSystemMenu(m_hWnd, FALSE);
  const std::string about = LoadResourceString(IDS_ABOUTBOX);
  if (sysMenu != nullptr && !about.empty()) {
    ::AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(sysMenu, MF_STRING, IDM_ABOUTBOX, Widen(about).c_str());
  }

  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  {
    CClientDC screen(nullptr);
    // 9 points, given in tenths of a point.
    const int height = -::MulDiv(90, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 720);
    m_pListFont = std::make_unique<CFont>(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Verdana"));
  }
  m_listAddresses.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_pListFont->get()), TRUE);

  LoadAdapters();
  InitAddressColumns();
  FillAddressList();

  // Inserted at their index, so that a sorting chooser keeps the record
  // order: chooser entry i is record i.
  const CComboBox chooser = Chooser();
  for (size_t i = 0; i < m_adapterNames.size(); ++i) chooser.InsertString(static_cast<int>(i), m_adapterNames[i]);
  chooser.SetCurSel(0);

  AttachWebLink();
  return TRUE;
}

int CVantoricDlg::LoadAdapters() {
  size_t needed = 0;
  if (EnumerateAdapters(nullptr, 0, needed, m_adapterNames) == ERROR_INSUFFICIENT_BUFFER && needed > 0) {
    m_pAdapters.reset(new (std::nothrow) CAdapterRecord[needed]);
    if (m_pAdapters) {
      m_nAdapterCount = static_cast<int>(needed);
      EnumerateAdapters(m_pAdapters.get(), needed, needed, m_adapterNames);
      return 1;
    }
  }
  ShowNoAdapter();
  return 0;
}

void CVantoricDlg::ShowNoAdapter() {
  ShowMessage(m_hWnd, "No Network Adapters Found on System.", MB_OK | MB_ICONERROR);
  // Ends the dialog as a cancel, without Exit's question.
  PostMessage(WM_CLOSE);
}

void CVantoricDlg::ReleaseAdapters() {
  m_pAdapters.reset();
  m_nAdapterCount = 0;
  m_pCurAdapter = nullptr;
  m_adapterNames.clear();
}

void CVantoricDlg::InitAddressColumns() {
  HWND list = m_listAddresses.GetSafeHwnd();
  ::SetWindowLongPtrW(list, GWL_EXSTYLE, ::GetWindowLongPtrW(list, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) | LVS_REPORT);
  m_listAddresses.SetExtendedStyle(m_listAddresses.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  int col = 0;
  for (const CColumn& column : kColumns) m_listAddresses.InsertColumn(col++, column.heading, LVCFMT_LEFT, column.width);
}

void CVantoricDlg::FillAddressList() {
  if (!m_pAdapters) return;
  m_listAddresses.DeleteAllItems();
  // After a reload with fewer adapters the chosen index (kept, like the
  // chooser's entries) may name no record: then nothing is shown.
  if (m_nSelAdapter < 0 || m_nSelAdapter >= m_nAdapterCount) {
    m_pCurAdapter = nullptr;
    m_strDescription.clear();
    m_strInterfaceName.clear();
    SetDlgItemText(IDC_STATIC_DESCRIPTION, m_strDescription);
    SetDlgItemText(IDC_STATIC_MAC, "N/A");
    return;
  }
  m_pCurAdapter = &m_pAdapters[static_cast<size_t>(m_nSelAdapter)];
  m_strDescription = m_pCurAdapter->m_strDescription;
  m_strInterfaceName = m_pCurAdapter->m_strFriendlyName;
  SetDlgItemText(IDC_STATIC_DESCRIPTION, m_strDescription);
  SetDlgItemText(IDC_STATIC_MAC, m_pCurAdapter->GetMacTextOrNA());

  // Rows in stored order. Appending keeps the list from shifting every row
  // already inserted, and the list paints once when it is complete.
  m_listAddresses.SendMessage(WM_SETREDRAW, FALSE);
  int row = 0;
  for (const CAddressRecord& address : m_pCurAdapter->m_addresses) {
    m_listAddresses.InsertItem(row, address.m_strAddress);
    m_listAddresses.SetItemText(row, 1, address.m_strKind);
    m_listAddresses.SetItemText(row, 2, address.m_strState);
    m_listAddresses.SetItemText(row, 3, address.m_strValidLifetime);
    m_listAddresses.SetItemText(row, 4, address.m_strPreferredLifetime);
    ++row;
  }
  m_listAddresses.SendMessage(WM_SETREDRAW, TRUE);
  ::InvalidateRect(m_listAddresses.GetSafeHwnd(), nullptr, TRUE);
}

void CVantoricDlg::AttachWebLink() {
  m_link.SetTarget(LoadResourceString(IDS_WEBLINK_TARGET));
  m_link.Attach(GetDlgItem(IDC_WEBLINK));
}

void CVantoricDlg::OnSelchangeAdapter() {
  if (!m_pAdapters) return;
  m_nSelAdapter = Chooser().GetCurSel();
  FillAddressList();
}

void CVantoricDlg::OnClickAddressList(const NMITEMACTIVATE* pItem) {
  m_nClickedItem = pItem->iItem;
  if (m_nClickedItem == -1) {
    m_bAddressSelected = 0;
    return;
  }
  m_strSelAddress = m_listAddresses.GetItemText(m_nClickedItem, 0);
  if (m_pCurAdapter == nullptr) return;
  m_pCurAdapter->SelectAddress(m_strSelAddress);
  m_strSelKind = m_pCurAdapter->m_strSelKind;
  m_strSelState = m_pCurAdapter->m_strSelState;
  m_strSelValidLifetime = m_pCurAdapter->m_strSelValidLifetime;
  m_strSelPreferredLifetime = m_pCurAdapter->m_strSelPreferredLifetime;
  m_bAddressSelected = 1;
}

void CVantoricDlg::OnRefresh() {
  ReleaseAdapters();
  LoadAdapters();
  FillAddressList();
}

void CVantoricDlg::OnHelpButton() { ShowProgramHelp(m_hWnd); }

void CVantoricDlg::OnExit() {
  if (ShowMessage(m_hWnd, "Are you sure you want to close the application?  ", MB_OKCANCEL | MB_ICONQUESTION) ==
      IDOK)
    ::ExitProcess(0);  // at once: the window's size is deliberately not remembered
}

bool CVantoricDlg::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  switch (nId) {
    case IDC_COMBO_ADAPTER:
      if (nCode == CBN_SELCHANGE) OnSelchangeAdapter();
      return true;
    case IDC_BUTTON_REFRESH:
      OnRefresh();
      return true;
    case IDC_BUTTON_HELP:
      OnHelpButton();
      return true;
    default:
      return CResizeDialog::OnCommand(nId, nCode, hCtl);
  }
}

bool CVantoricDlg::OnNotify(NMHDR* pHdr, LRESULT& result) {
  if (pHdr->idFrom == IDC_LIST_ADDRESSES && pHdr->code == NM_CLICK) {
    OnClickAddressList(reinterpret_cast<const NMITEMACTIVATE*>(pHdr));
    result = 0;
    return true;
  }
  return CResizeDialog::OnNotify(pHdr, result);
}

bool CVantoricDlg::OnPaint() {
  if (!::IsIconic(m_hWnd)) return false;  // a plain dialog's painting
  CPaintDC dc(m_hWnd);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  const RECT rc = GetClientRect();
  const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc.get(), x, y, m_hIcon);
  return true;
}

bool CVantoricDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) != IDM_ABOUTBOX) return false;
      {
        CAboutDlg about;
        about.DoModal(m_hWnd);
      }
      result = 0;
      return true;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(m_hIcon);
      return true;
    default:
      return CResizeDialog::OnMessage(msg, wp, lp, result);
  }
}

}  // namespace vantoric
