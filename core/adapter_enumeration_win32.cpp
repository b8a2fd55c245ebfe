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
// of that size. With a size already known (listSize above 0) the list is
// asked for straight away into that many bytes, and the size question comes
// only when it no longer fits. Empty when there is no list: error is then 0
// for a machine without adapters and the reason for a failure. listSize
// ends as the size that held the list.
CAdapterListBuffer QueryAdapterList(DWORD& error, ULONG& listSize) {
  const AdapterAddressesFn source = g_pfnSource ? g_pfnSource : &SystemAdapterAddresses;
  const ULONG flags = GAA_FLAG_INCLUDE_PREFIX;
  ULONG size = listSize;
  ULONG rc = size > 0 ? ERROR_BUFFER_OVERFLOW : source(AF_UNSPEC, flags, nullptr, nullptr, &size);
  for (int attempt = 0; rc == ERROR_BUFFER_OVERFLOW && attempt < MAX_FILL_ATTEMPTS; ++attempt) {
    CAdapterListBuffer buffer(
        static_cast<AdapterAddresses*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size)));
    if (!buffer) {
      error = ERROR_NOT_ENOUGH_MEMORY;
      return {};
    }
    const ULONG allocated = size;
    rc = source(AF_UNSPEC, flags, nullptr, buffer.get(), &size);
    if (rc == NO_ERROR) {
      error = 0;
      listSize = allocated;
      return buffer;
    }
  }
  // No data, or a size query that succeeds without a buffer: no adapters.
  error = rc == ERROR_NO_DATA || rc == NO_ERROR ? 0 : rc;
  listSize = 0;
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

// An address's origins, state and lifetimes, without its host text.
CUnicastAddressData UnicastFacts(const IP_ADAPTER_UNICAST_ADDRESS_LH& u) {
  CUnicastAddressData facts;
  facts.m_nPrefixOrigin = u.PrefixOrigin;
  facts.m_nSuffixOrigin = u.SuffixOrigin;
  facts.m_nDadState = u.DadState;
  facts.m_nValidLifetime = u.ValidLifetime;
  facts.m_nPreferredLifetime = u.PreferredLifetime;
  return facts;
}

bool SameFacts(const CUnicastAddressData& a, const CUnicastAddressData& b) {
  return a.m_nPrefixOrigin == b.m_nPrefixOrigin && a.m_nSuffixOrigin == b.m_nSuffixOrigin &&
         a.m_nDadState == b.m_nDadState && a.m_nValidLifetime == b.m_nValidLifetime &&
         a.m_nPreferredLifetime == b.m_nPreferredLifetime;
}

CAdapterData ReadAdapter(const AdapterAddresses& adapter, bool socketsStarted) {
  CAdapterData data;
  data.m_strFriendlyName = Narrow(adapter.FriendlyName);
  data.m_strDescription = Narrow(adapter.Description);
  data.m_nIfType = adapter.IfType;
  // "IP_ADAPTER_ADDRESSES_LH structure (iptypes.h)": OperStatus is an
  // IF_OPER_STATUS; the IPv6-enabled flag comes with Windows 6, and
  // Windows 5.2 tells only the IPv6 interface index, 0 without IPv6.
  data.m_link.m_nOperStatus = adapter.OperStatus;
  data.m_link.m_bIpv6Enabled = (adapter.Flags & IP_ADAPTER_IPV6_ENABLED) != 0 || adapter.Ipv6IfIndex != 0;
  data.m_link.m_nZone = adapter.Ipv6IfIndex != 0 ? adapter.Ipv6IfIndex : adapter.IfIndex;
  // The LUID lies beyond the layout of Windows 5.2, which has none.
  if (adapter.Length >= offsetof(AdapterAddresses, Luid) + sizeof adapter.Luid) data.m_nLuid = adapter.Luid.Value;
  data.m_macLength = std::min<ULONG>(adapter.PhysicalAddressLength, MAX_ADAPTER_ADDRESS_LENGTH);
  std::memcpy(data.m_macAddress, adapter.PhysicalAddress, data.m_macLength);
  data.m_bSocketsStarted = socketsStarted;
  if (!socketsStarted) return data;
  for (const IP_ADAPTER_UNICAST_ADDRESS_LH* u = adapter.FirstUnicastAddress; u; u = u->Next) {
    CUnicastAddressData unicast = UnicastFacts(*u);
    unicast.m_strHost = HostText(u->Address);
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
    list = QueryAdapterList(m_nError, m_nListSize);
  }
  m_countedList.reset();
  std::size_t count = 0;
  for (const AdapterAddresses* a = list.get(); a; a = a->Next) ++count;
  std::vector<CAdapterData> adapters;
  const DWORD result = FillSnapshot(
      count,
      [&] {
        adapters = ReadAdapterList(list.get());
        return adapters;
      },
      records, capacity, needed, names);
  if (result == ERROR_INSUFFICIENT_BUFFER) m_countedList = std::move(list);
  if (capacity > 0) Remember(adapters.empty() ? nullptr : list.get(), adapters, records);
  return result;
}

namespace {

std::string SocketAddressBytes(const SOCKET_ADDRESS& address) {
  if (address.lpSockaddr == nullptr || address.iSockaddrLength <= 0) return {};
  return {reinterpret_cast<const char*>(address.lpSockaddr), static_cast<size_t>(address.iSockaddrLength)};
}

bool SameSocketAddress(const std::string& bytes, const SOCKET_ADDRESS& address) {
  if (address.lpSockaddr == nullptr || address.iSockaddrLength <= 0) return bytes.empty();
  return bytes.size() == static_cast<size_t>(address.iSockaddrLength) &&
         std::memcmp(bytes.data(), address.lpSockaddr, bytes.size()) == 0;
}

std::wstring WideOrEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }


}  // namespace

void CAdapterReading::Remember(const AdapterAddresses* list, const std::vector<CAdapterData>& adapters,
                               const CAdapterRecord* records) {
  m_prints.clear();
  m_pFilled = nullptr;
  // Without host texts nothing was listed: a new snapshot decides again.
  if (list == nullptr || records == nullptr || !adapters.front().m_bSocketsStarted) return;
  const std::vector<std::size_t> order = OrderAdapters(adapters);
  std::vector<std::size_t> recordOf(order.size());
  for (std::size_t r = 0; r < order.size(); ++r) recordOf[order[r]] = r;
  std::size_t index = 0;
  for (const AdapterAddresses* a = list; a; a = a->Next, ++index) {
    CAdapterPrint print;
    print.m_strFriendlyName = WideOrEmpty(a->FriendlyName);
    print.m_strDescription = WideOrEmpty(a->Description);
    print.m_mac.assign(reinterpret_cast<const char*>(a->PhysicalAddress),
                       std::min<ULONG>(a->PhysicalAddressLength, MAX_ADAPTER_ADDRESS_LENGTH));
    print.m_nIfType = a->IfType;
    for (const IP_ADAPTER_DNS_SERVER_ADDRESS_XP* d = a->FirstDnsServerAddress; d; d = d->Next)
      print.m_dnsAddresses.push_back(SocketAddressBytes(d->Address));
    const CAdapterData& data = adapters[index];
    int listed = 0;
    std::size_t u = 0;
    for (const IP_ADAPTER_UNICAST_ADDRESS_LH* p = a->FirstUnicastAddress; p; p = p->Next, ++u) {
      const bool bListed = u < data.m_unicastAddresses.size() && IsListedHost(data.m_unicastAddresses[u].m_strHost);
      if (bListed) print.m_listedHosts.push_back(data.m_unicastAddresses[u].m_strHost);
      print.m_addresses.push_back({SocketAddressBytes(p->Address), UnicastFacts(*p), bListed ? listed++ : -1});
    }
    print.m_nRecord = recordOf[index];
    print.m_dnsServers = records[print.m_nRecord].m_dnsServers;
    m_prints.push_back(std::move(print));
  }
  m_pFilled = records;
}

bool CAdapterReading::StillMatches(const AdapterAddresses* list, const CAdapterRecord* records) const {
  std::size_t index = 0;
  for (const AdapterAddresses* a = list; a; a = a->Next, ++index) {
    if (index >= m_prints.size()) return false;
    const CAdapterPrint& print = m_prints[index];
    if (print.m_strFriendlyName != WideOrEmpty(a->FriendlyName) ||
        print.m_strDescription != WideOrEmpty(a->Description) || print.m_nIfType != a->IfType ||
        print.m_mac.size() != std::min<ULONG>(a->PhysicalAddressLength, MAX_ADAPTER_ADDRESS_LENGTH) ||
        std::memcmp(print.m_mac.data(), a->PhysicalAddress, print.m_mac.size()) != 0)
      return false;
    std::size_t n = 0;
    for (const IP_ADAPTER_DNS_SERVER_ADDRESS_XP* d = a->FirstDnsServerAddress; d; d = d->Next, ++n)
      if (n >= print.m_dnsAddresses.size() || !SameSocketAddress(print.m_dnsAddresses[n], d->Address)) return false;
    if (n != print.m_dnsAddresses.size()) return false;
    n = 0;
    for (const IP_ADAPTER_UNICAST_ADDRESS_LH* u = a->FirstUnicastAddress; u; u = u->Next, ++n)
      if (n >= print.m_addresses.size() || !SameSocketAddress(print.m_addresses[n].m_address, u->Address))
        return false;
    if (n != print.m_addresses.size()) return false;
    // The record still holds what it was filled with: no command added or
    // removed an address or a server since.
    const CAdapterRecord& record = records[print.m_nRecord];
    if (record.m_dnsServers != print.m_dnsServers || record.m_addresses.size() != print.m_listedHosts.size())
      return false;
    for (std::size_t k = 0; k < print.m_listedHosts.size(); ++k)
      if (record.m_addresses[k].m_strAddress != print.m_listedHosts[k]) return false;
  }
  return index == m_prints.size();
}

bool CAdapterReading::UpdateRecords(CAdapterRecord* records, std::size_t count) {
  if (records == nullptr || records != m_pFilled || count != m_prints.size()) return false;
  DWORD error = 0;
  const CAdapterListBuffer list = QueryAdapterList(error, m_nListSize);
  if (!list || !StillMatches(list.get(), records)) return false;
  std::size_t index = 0;
  for (const AdapterAddresses* a = list.get(); a; a = a->Next, ++index) {
    CAdapterPrint& print = m_prints[index];
    std::size_t n = 0;
    for (const IP_ADAPTER_UNICAST_ADDRESS_LH* u = a->FirstUnicastAddress; u; u = u->Next, ++n) {
      CAddressPrint& was = print.m_addresses[n];
      const CUnicastAddressData now = UnicastFacts(*u);
      if (SameFacts(now, was.m_facts)) continue;
      was.m_facts = now;
      if (was.m_nListed >= 0)
        SetAddressFacts(records[print.m_nRecord].m_addresses[static_cast<std::size_t>(was.m_nListed)], now);
    }
  }
  return true;
}

DWORD TakeAdapterSnapshot(std::unique_ptr<CAdapterRecord[]>& records, std::size_t& count,
                          std::vector<std::string>& names) {
  CAdapterReading reading;
  return TakeAdapterSnapshot(reading, records, count, names);
}

DWORD TakeAdapterSnapshot(CAdapterReading& reading, std::unique_ptr<CAdapterRecord[]>& records, std::size_t& count,
                          std::vector<std::string>& names) {
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
