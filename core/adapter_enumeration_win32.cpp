#include "core/adapter_enumeration_win32.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include "core/address_names.h"
#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {
namespace {

static_assert(ADAPTER_TYPE_ETHERNET == IF_TYPE_ETHERNET_CSMACD);
static_assert(MAX_MAC_LENGTH == MAX_ADAPTER_ADDRESS_LENGTH);
static_assert(SNAPSHOT_INSUFFICIENT_BUFFER == ERROR_INSUFFICIENT_BUFFER);
static_assert(PREFIX_ORIGIN_MANUAL == IpPrefixOriginManual && PREFIX_ORIGIN_WELL_KNOWN == IpPrefixOriginWellKnown &&
              PREFIX_ORIGIN_DHCP == IpPrefixOriginDhcp &&
              PREFIX_ORIGIN_ROUTER_ADVERTISEMENT == IpPrefixOriginRouterAdvertisement);
static_assert(SUFFIX_ORIGIN_MANUAL == IpSuffixOriginManual && SUFFIX_ORIGIN_WELL_KNOWN == IpSuffixOriginWellKnown &&
              SUFFIX_ORIGIN_DHCP == IpSuffixOriginDhcp &&
              SUFFIX_ORIGIN_LINK_LAYER_ADDRESS == IpSuffixOriginLinkLayerAddress &&
              SUFFIX_ORIGIN_RANDOM == IpSuffixOriginRandom);
static_assert(ADDRSTATE_PREFERRED - ADDRSTATE_INVALID == IpDadStatePreferred);

// Every field read lies where the original layout of Windows 5.2 has it.
#define VANTORIC_SAME_OFFSET(type, field) offsetof(type##_LH, field) == offsetof(type##_XP, field)
static_assert(VANTORIC_SAME_OFFSET(IP_ADAPTER_ADDRESSES, Next) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_ADDRESSES, FirstUnicastAddress) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_ADDRESSES, FirstDnsServerAddress) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_ADDRESSES, Description) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_ADDRESSES, FriendlyName) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_ADDRESSES, PhysicalAddress) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_ADDRESSES, PhysicalAddressLength) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_ADDRESSES, IfType));
static_assert(VANTORIC_SAME_OFFSET(IP_ADAPTER_UNICAST_ADDRESS, Next) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_UNICAST_ADDRESS, Address) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_UNICAST_ADDRESS, PrefixOrigin) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_UNICAST_ADDRESS, SuffixOrigin) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_UNICAST_ADDRESS, DadState) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_UNICAST_ADDRESS, ValidLifetime) &&
              VANTORIC_SAME_OFFSET(IP_ADAPTER_UNICAST_ADDRESS, PreferredLifetime));
#undef VANTORIC_SAME_OFFSET

// The test seam: set by tests only, between snapshots.
AdapterAddressesFn g_pfnSource = nullptr;

// The list may grow between the size query and the fill; it is asked again
// with the new size this many times before the snapshot gives up.
constexpr int MAX_FILL_ATTEMPTS = 4;
// Host texts are converted into buffers of this many characters.
constexpr DWORD HOST_BUFFER_LENGTH = 256;

using CAdapterListBuffer = std::unique_ptr<AdapterAddresses, CAdapterListFree>;

// The OS's query, typed for the layout that the snapshot reads. iphlpapi is
// loaded from the system folder at the first query: imported by name, it
// would be looked for in the program's folder first.
ULONG WINAPI SystemAdapterAddresses(ULONG family, ULONG flags, PVOID reserved, AdapterAddresses* buffer,
                                    PULONG size) {
  using GetAdaptersAddressesFn = ULONG(WINAPI*)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG);
  static const auto pfnGetAdaptersAddresses =
      GetSystemFunction<GetAdaptersAddressesFn>(L"iphlpapi.dll", "GetAdaptersAddresses");
  if (pfnGetAdaptersAddresses == nullptr) return ERROR_MOD_NOT_FOUND;
  return pfnGetAdaptersAddresses(family, flags, reserved, reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer), size);
}

// Asks for the size of the list, then for the list into a zero-filled buffer
// of that size. Empty when there is no list: error is then 0 for a machine
// without adapters and the reason for a failure.
CAdapterListBuffer QueryAdapterList(DWORD& error) {
  const AdapterAddressesFn source = g_pfnSource ? g_pfnSource : &SystemAdapterAddresses;
  const ULONG flags = GAA_FLAG_INCLUDE_PREFIX;
  ULONG size = 0;
  ULONG rc = source(AF_UNSPEC, flags, nullptr, nullptr, &size);
  for (int attempt = 0; rc == ERROR_BUFFER_OVERFLOW && attempt < MAX_FILL_ATTEMPTS; ++attempt) {
    CAdapterListBuffer buffer(
        static_cast<AdapterAddresses*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size)));
    if (!buffer) {
      error = ERROR_NOT_ENOUGH_MEMORY;
      return {};
    }
    rc = source(AF_UNSPEC, flags, nullptr, buffer.get(), &size);
    if (rc == NO_ERROR) {
      error = 0;
      return buffer;
    }
  }
  // No data, or a size query that succeeds without a buffer: no adapters.
  error = rc == ERROR_NO_DATA || rc == NO_ERROR ? 0 : rc;
  return {};
}

class CSocketLibrary {
 public:
  CSocketLibrary() {
    WSADATA data;
    m_bStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~CSocketLibrary() {
    if (m_bStarted) ::WSACleanup();
  }
  CSocketLibrary(const CSocketLibrary&) = delete;
  CSocketLibrary& operator=(const CSocketLibrary&) = delete;
  bool IsStarted() const { return m_bStarted; }

 private:
  bool m_bStarted = false;
};

// The numeric host text of a socket address; empty when it cannot be converted.
std::string HostText(const SOCKET_ADDRESS& address) {
  if (!address.lpSockaddr) return {};
  wchar_t host[HOST_BUFFER_LENGTH] = {};
  if (::GetNameInfoW(address.lpSockaddr, address.iSockaddrLength, host, HOST_BUFFER_LENGTH, nullptr, 0,
                     NI_NUMERICHOST | NI_NUMERICSERV) != 0)
    return {};
  return Narrow(host);
}

CAdapterData ReadAdapter(const AdapterAddresses& adapter, bool socketsStarted) {
  CAdapterData data;
  data.m_strFriendlyName = Narrow(adapter.FriendlyName);
  data.m_strDescription = Narrow(adapter.Description);
  data.m_nIfType = adapter.IfType;
  data.m_macLength = std::min<ULONG>(adapter.PhysicalAddressLength, MAX_ADAPTER_ADDRESS_LENGTH);
  std::memcpy(data.m_macAddress, adapter.PhysicalAddress, data.m_macLength);
  data.m_bSocketsStarted = socketsStarted;
  if (!socketsStarted) return data;
  for (const IP_ADAPTER_UNICAST_ADDRESS_LH* u = adapter.FirstUnicastAddress; u; u = u->Next) {
    CUnicastAddressData unicast;
    unicast.m_strHost = HostText(u->Address);
    unicast.m_nPrefixOrigin = u->PrefixOrigin;
    unicast.m_nSuffixOrigin = u->SuffixOrigin;
    unicast.m_nDadState = u->DadState;
    unicast.m_nValidLifetime = u->ValidLifetime;
    unicast.m_nPreferredLifetime = u->PreferredLifetime;
    data.m_unicastAddresses.push_back(std::move(unicast));
  }
  for (const IP_ADAPTER_DNS_SERVER_ADDRESS_XP* d = adapter.FirstDnsServerAddress; d; d = d->Next)
    data.m_dnsServers.push_back(HostText(d->Address));
  return data;
}

}  // namespace

void SetAdapterAddressesSource(AdapterAddressesFn fn) { g_pfnSource = fn; }

std::vector<CAdapterData> ReadAdapterList(const AdapterAddresses* list) {
  const CSocketLibrary sockets;
  std::vector<CAdapterData> adapters;
  for (const AdapterAddresses* a = list; a; a = a->Next) adapters.push_back(ReadAdapter(*a, sockets.IsStarted()));
  return adapters;
}

DWORD CAdapterReading::EnumerateAdapters(CAdapterRecord* records, std::size_t capacity, std::size_t& needed,
                                         std::vector<std::string>& names) {
  // A call with capacity 0 begins a snapshot and always asks the OS; a call
  // with records fills them from the list its predecessor counted, if any.
  CAdapterListBuffer list;
  if (capacity > 0 && m_countedList) {
    list = std::move(m_countedList);
    m_nError = 0;
  } else {
    list = QueryAdapterList(m_nError);
  }
  m_countedList.reset();
  std::size_t count = 0;
  for (const AdapterAddresses* a = list.get(); a; a = a->Next) ++count;
  const DWORD result = FillSnapshot(
      count, [&] { return ReadAdapterList(list.get()); }, records, capacity, needed, names);
  if (result == ERROR_INSUFFICIENT_BUFFER) m_countedList = std::move(list);
  return result;
}

DWORD TakeAdapterSnapshot(std::unique_ptr<CAdapterRecord[]>& records, std::size_t& count,
                          std::vector<std::string>& names) {
  CAdapterReading reading;
  std::size_t needed = 0;
  std::vector<std::string> newNames;
  if (reading.EnumerateAdapters(nullptr, 0, needed, newNames) != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
    if (reading.GetError() != 0) return reading.GetError();
    records.reset();
    count = 0;
    names.clear();
    return 0;
  }
  std::unique_ptr<CAdapterRecord[]> newRecords(new (std::nothrow) CAdapterRecord[needed]);
  if (!newRecords) return ERROR_NOT_ENOUGH_MEMORY;
  if (reading.EnumerateAdapters(newRecords.get(), needed, needed, newNames) != 0 || newNames.size() != needed)
    return reading.GetError() != 0 ? reading.GetError() : static_cast<DWORD>(ERROR_INVALID_DATA);
  records = std::move(newRecords);
  count = needed;
  names = std::move(newNames);
  return 0;
}

}  // namespace vantoric
