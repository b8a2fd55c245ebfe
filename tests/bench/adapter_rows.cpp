// The rows of the start-up benchmark's floor: what a program showing the
// adapters cannot skip (see adapter_rows.h).
#include "tests/bench/adapter_rows.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <commctrl.h>
#include <iphlpapi.h>

#include <cstdio>
#include <memory>

#include "framework/system_library.h"
#include "resources/resource.h"

namespace vantoric::bench {
namespace {

using GetAdaptersAddressesFn = ULONG(WINAPI*)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG);
using Ipv6ToStringFn = LONG(NTAPI*)(const IN6_ADDR*, ULONG, USHORT, PWSTR, PULONG);

// Enough for the adapters of almost any machine in one query.
constexpr ULONG LIST_BYTES = 64 * 1024;

const wchar_t* const kHeadings[] = {L"IPv6 Address", L"Type", L"DAD", L"Valid Life", L"Pref. Life"};
const int kWidths[] = {280, 50, 75, 80, 80};

const wchar_t* DadText(IP_DAD_STATE state) {
  switch (state) {
    case IpDadStateTentative:
      return L"Tentative";
    case IpDadStateDuplicate:
      return L"Duplicate";
    case IpDadStateDeprecated:
      return L"Deprecated";
    case IpDadStatePreferred:
      return L"Preferred";
    default:
      return L"Invalid";
  }
}

void SetCell(HWND list, int row, int col, const wchar_t* text) {
  LVITEMW item{};
  item.iSubItem = col;
  item.pszText = const_cast<wchar_t*>(text);
  ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void FillFromAdapters(HWND dialog) {
  static const auto pfnGetAdaptersAddresses =
      GetSystemFunction<GetAdaptersAddressesFn>(L"iphlpapi.dll", "GetAdaptersAddresses");
  static const auto pfnToString = GetSystemFunction<Ipv6ToStringFn>(L"ntdll.dll", "RtlIpv6AddressToStringExW");
  if (pfnGetAdaptersAddresses == nullptr || pfnToString == nullptr) return;
  ULONG size = LIST_BYTES;
  std::unique_ptr<BYTE[]> buffer(new BYTE[size]());
  auto* list = reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.get());
  if (pfnGetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, list, &size) != NO_ERROR) return;

  HWND chooser = ::GetDlgItem(dialog, IDC_COMBO_ADAPTER);
  const IP_ADAPTER_ADDRESSES* shown = list;
  bool bEthernetFound = false;
  for (const IP_ADAPTER_ADDRESSES* a = list; a; a = a->Next) {
    ::SendMessageW(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(a->FriendlyName));
    if (!bEthernetFound && a->IfType == IF_TYPE_ETHERNET_CSMACD) {
      shown = a;
      bEthernetFound = true;
    }
  }
  ::SendMessageW(chooser, CB_SETCURSEL, 0, 0);
  ::SetDlgItemTextW(dialog, IDC_STATIC_DESCRIPTION, shown->Description);

  HWND rows = ::GetDlgItem(dialog, IDC_LIST_ADDRESSES);
  for (int col = 0; col < 5; ++col) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = kWidths[col];
    column.pszText = const_cast<wchar_t*>(kHeadings[col]);
    ::SendMessageW(rows, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&column));
  }
  int row = 0;
  for (const IP_ADAPTER_UNICAST_ADDRESS* u = shown->FirstUnicastAddress; u; u = u->Next) {
    if (u->Address.lpSockaddr == nullptr || u->Address.lpSockaddr->sa_family != AF_INET6) continue;
    const auto* address = reinterpret_cast<const SOCKADDR_IN6*>(u->Address.lpSockaddr);
    wchar_t text[64];
    ULONG length = 64;
    if (pfnToString(&address->sin6_addr, address->sin6_scope_id, 0, text, &length) != 0) continue;
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = text;
    ::SendMessageW(rows, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetCell(rows, row, 1, u->PrefixOrigin == IpPrefixOriginManual ? L"Manual" : L"Public");
    SetCell(rows, row, 2, DadText(u->DadState));
    wchar_t valid[16];
    wchar_t preferred[16];
    std::swprintf(valid, 16, L"%lus", u->ValidLifetime);
    std::swprintf(preferred, 16, L"%lus", u->PreferredLifetime);
    SetCell(rows, row, 3, valid);
    SetCell(rows, row, 4, preferred);
    ++row;
  }
}

}  // namespace vantoric::bench
