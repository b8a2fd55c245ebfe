// The route table functions and their types come with Windows 6. They are
// looked up at run time, so this file sees the Windows 6 declarations
// whatever version the program is built for; nothing newer is imported.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef WINVER
#define WINVER 0x0600

#include "core/connection_guard_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {
namespace {

CGuardFactsSource g_source;

// The table may grow between the size query and the read; it is asked again
// with the new size this many times before the reading gives up.
constexpr int MAX_READ_ATTEMPTS = 4;

using GetExtendedTcpTableFn = decltype(&::GetExtendedTcpTable);
using ConvertInterfaceAliasToLuidFn = decltype(&::ConvertInterfaceAliasToLuid);
using GetIpForwardTable2Fn = decltype(&::GetIpForwardTable2);
using FreeMibTableFn = decltype(&::FreeMibTable);
// ntdll's own formatter needs no started socket library.
using RtlIpv6AddressToStringFn = PSTR(NTAPI*)(const IN6_ADDR* address, PSTR text);

// The text of an address as the system prints it (2001:db8::5).
std::string AddressText(RtlIpv6AddressToStringFn pfnToString, const UCHAR (&bytes)[16]) {
  IN6_ADDR address;
  std::memcpy(&address, bytes, sizeof address);
  char text[INET6_ADDRSTRLEN] = {};
  pfnToString(&address, text);
  return text;
}

CConnectionReading ReadSystemConnections() {
  static const auto pfnTable = GetSystemFunction<GetExtendedTcpTableFn>(L"iphlpapi.dll", "GetExtendedTcpTable");
  static const auto pfnToString =
      GetSystemFunction<RtlIpv6AddressToStringFn>(L"ntdll.dll", "RtlIpv6AddressToStringA");
  CConnectionReading reading;
  if (pfnTable == nullptr || pfnToString == nullptr) return reading;

  // 8-byte units keep the rows aligned.
  std::vector<std::uint64_t> buffer;
  DWORD size = 0;
  DWORD rc = pfnTable(nullptr, &size, FALSE, AF_INET6, TCP_TABLE_OWNER_PID_ALL, 0);
  for (int attempt = 0; rc == ERROR_INSUFFICIENT_BUFFER && attempt < MAX_READ_ATTEMPTS; ++attempt) {
    buffer.assign(size / sizeof(std::uint64_t) + 1, 0);
    rc = pfnTable(buffer.data(), &size, FALSE, AF_INET6, TCP_TABLE_OWNER_PID_ALL, 0);
  }
  if (rc != NO_ERROR || buffer.empty()) return reading;

  const auto* table = reinterpret_cast<const MIB_TCP6TABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_TCP6ROW_OWNER_PID& row = table->table[i];
    // The whole table is read and filtered here: which rows a "connections"
    // table holds differs between systems (Wine lists established ones only).
    if (row.dwState != MIB_TCP_STATE_ESTAB) continue;
    // Ports are in network order in the low 16 bits.
    reading.m_connections.push_back({AddressText(pfnToString, row.ucLocalAddr),
                                     ::ntohs(static_cast<u_short>(row.dwLocalPort)),
                                     AddressText(pfnToString, row.ucRemoteAddr),
                                     ::ntohs(static_cast<u_short>(row.dwRemotePort))});
  }
  reading.m_bRead = true;
  return reading;
}

DefaultRoute ReadSystemDefaultRoute(const std::string& adapterName) {
  static const auto pfnAliasToLuid =
      GetSystemFunction<ConvertInterfaceAliasToLuidFn>(L"iphlpapi.dll", "ConvertInterfaceAliasToLuid");
  static const auto pfnForwardTable = GetSystemFunction<GetIpForwardTable2Fn>(L"iphlpapi.dll", "GetIpForwardTable2");
  static const auto pfnFreeTable = GetSystemFunction<FreeMibTableFn>(L"iphlpapi.dll", "FreeMibTable");
  if (pfnAliasToLuid == nullptr || pfnForwardTable == nullptr || pfnFreeTable == nullptr)
    return DefaultRoute::Unknown;

  // The friendly name is the interface's alias.
  NET_LUID luid{};
  if (pfnAliasToLuid(Widen(adapterName).c_str(), &luid) != NO_ERROR) return DefaultRoute::Unreadable;
  PMIB_IPFORWARD_TABLE2 table = nullptr;
  if (pfnForwardTable(AF_INET6, &table) != NO_ERROR || table == nullptr) return DefaultRoute::Unreadable;

  std::vector<CRouteEntry> routes;
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IPFORWARD_ROW2& row = table->Table[i];
    CRouteEntry route;
    route.m_nInterface = row.InterfaceLuid.Value;
    route.m_nPrefixLength = row.DestinationPrefix.PrefixLength;
    std::memcpy(route.m_nextHop.data(), row.NextHop.Ipv6.sin6_addr.s6_addr, route.m_nextHop.size());
    routes.push_back(route);
  }
  pfnFreeTable(table);
  return DefaultRouteOf(luid.Value, routes);
}

static_assert(ROUTE_ORIGIN_MANUAL == NlroManual && ROUTE_ORIGIN_WELL_KNOWN == NlroWellKnown &&
              ROUTE_ORIGIN_DHCP == NlroDHCP && ROUTE_ORIGIN_ROUTER_ADVERTISEMENT == NlroRouterAdvertisement);

CRouteTableReading ReadSystemRouteTable() {
  static const auto pfnForwardTable = GetSystemFunction<GetIpForwardTable2Fn>(L"iphlpapi.dll", "GetIpForwardTable2");
  static const auto pfnFreeTable = GetSystemFunction<FreeMibTableFn>(L"iphlpapi.dll", "FreeMibTable");
  static const auto pfnToString =
      GetSystemFunction<RtlIpv6AddressToStringFn>(L"ntdll.dll", "RtlIpv6AddressToStringA");
  CRouteTableReading reading;
  if (pfnForwardTable == nullptr || pfnFreeTable == nullptr || pfnToString == nullptr) {
    reading.m_state = RouteTableState::NotSupported;
    return reading;
  }
  PMIB_IPFORWARD_TABLE2 table = nullptr;
  const DWORD rc = pfnForwardTable(AF_INET6, &table);
  if (rc != NO_ERROR || table == nullptr) {
    reading.m_nError = rc != NO_ERROR ? rc : ERROR_INVALID_DATA;
    return reading;
  }
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IPFORWARD_ROW2& row = table->Table[i];
    CRouteData route;
    route.m_nInterface = row.InterfaceLuid.Value;
    route.m_strPrefix = AddressText(pfnToString, row.DestinationPrefix.Prefix.Ipv6.sin6_addr.s6_addr);
    route.m_nPrefixLength = row.DestinationPrefix.PrefixLength;
    route.m_strNextHop = AddressText(pfnToString, row.NextHop.Ipv6.sin6_addr.s6_addr);
    // The route's own metric, the one netsh sets (the system adds its
    // interface's when it chooses).
    route.m_nMetric = row.Metric;
    route.m_nValidLifetime = row.ValidLifetime;
    route.m_nPreferredLifetime = row.PreferredLifetime;
    route.m_nOrigin = row.Origin;
    reading.m_routes.push_back(std::move(route));
  }
  pfnFreeTable(table);
  reading.m_state = RouteTableState::Read;
  return reading;
}

bool ReadSystemInterfaceId(const std::string& adapterName, std::uint64_t& id) {
  static const auto pfnAliasToLuid =
      GetSystemFunction<ConvertInterfaceAliasToLuidFn>(L"iphlpapi.dll", "ConvertInterfaceAliasToLuid");
  NET_LUID luid{};
  if (pfnAliasToLuid == nullptr || pfnAliasToLuid(Widen(adapterName).c_str(), &luid) != NO_ERROR) return false;
  id = luid.Value;
  return true;
}

}  // namespace

CRouteTableReading ReadRouteTable() {
  return g_source.m_readRouteTable ? g_source.m_readRouteTable() : ReadSystemRouteTable();
}

bool ReadInterfaceId(const std::string& adapterName, std::uint64_t& id) {
  return g_source.m_readInterfaceId ? g_source.m_readInterfaceId(adapterName, id)
                                    : ReadSystemInterfaceId(adapterName, id);
}

void SetGuardFactsSource(CGuardFactsSource source) { g_source = std::move(source); }

CConnectionReading ReadEstablishedConnections() {
  return g_source.m_readConnections ? g_source.m_readConnections() : ReadSystemConnections();
}

DefaultRoute ReadDefaultRoute(const std::string& adapterName) {
  return g_source.m_readDefaultRoute ? g_source.m_readDefaultRoute(adapterName) : ReadSystemDefaultRoute(adapterName);
}

bool ReadRoutesOfRecords(const CAdapterRecord* records, std::size_t count,
                         std::vector<std::vector<CRouteRecord>>& routes) {
  const CRouteTableReading table = ReadRouteTable();
  if (table.m_state != RouteTableState::Read) return false;
  routes.clear();
  for (std::size_t i = 0; i < count; ++i) {
    std::uint64_t id = 0;
    if (!ReadInterfaceId(records[i].m_strFriendlyName, id)) return false;
    routes.push_back(MakeRouteRecords(table.m_routes, id));
  }
  return true;
}

}  // namespace vantoric
