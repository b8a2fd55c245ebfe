// GetIpNetTable2 and its types come with Windows 6: looked up at run time,
// declared here as Windows 6 has them.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef WINVER
#define WINVER 0x0600

#include "core/neighbors_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <utility>

#include "framework/system_library.h"

namespace vantoric {

namespace {

using GetIpNetTable2Fn = decltype(&::GetIpNetTable2);
using FreeMibTableFn = decltype(&::FreeMibTable);
// ntdll's own formatter needs no started socket library.
using RtlIpv6AddressToStringFn = PSTR(NTAPI*)(const IN6_ADDR* address, PSTR text);

static_assert(NEIGHBOR_STATE_UNREACHABLE == NlnsUnreachable && NEIGHBOR_STATE_INCOMPLETE == NlnsIncomplete &&
              NEIGHBOR_STATE_PROBE == NlnsProbe && NEIGHBOR_STATE_DELAY == NlnsDelay &&
              NEIGHBOR_STATE_STALE == NlnsStale && NEIGHBOR_STATE_REACHABLE == NlnsReachable &&
              NEIGHBOR_STATE_PERMANENT == NlnsPermanent);
static_assert(MAX_LINK_LAYER_LENGTH == IF_MAX_PHYS_ADDRESS_LENGTH);

}  // namespace

CNeighborReading ReadSystemNeighborTable() {
  static const auto pfnTable = GetSystemFunction<GetIpNetTable2Fn>(L"iphlpapi.dll", "GetIpNetTable2");
  static const auto pfnFreeTable = GetSystemFunction<FreeMibTableFn>(L"iphlpapi.dll", "FreeMibTable");
  static const auto pfnToString =
      GetSystemFunction<RtlIpv6AddressToStringFn>(L"ntdll.dll", "RtlIpv6AddressToStringA");
  CNeighborReading reading;
  if (pfnTable == nullptr || pfnFreeTable == nullptr || pfnToString == nullptr) {
    reading.m_state = InterfaceReadState::NotSupported;
    return reading;
  }
  PMIB_IPNET_TABLE2 table = nullptr;
  const DWORD rc = pfnTable(AF_INET6, &table);
  if (rc != NO_ERROR || table == nullptr) {
    reading.m_nError = rc != NO_ERROR ? rc : ERROR_INVALID_DATA;
    return reading;
  }
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IPNET_ROW2& row = table->Table[i];
    CNeighborData neighbor;
    neighbor.m_nInterface = row.InterfaceLuid.Value;
    char text[INET6_ADDRSTRLEN] = {};
    pfnToString(&row.Address.Ipv6.sin6_addr, text);
    neighbor.m_strAddress = text;
    const ULONG length = row.PhysicalAddressLength < MAX_LINK_LAYER_LENGTH ? row.PhysicalAddressLength
                                                                           : MAX_LINK_LAYER_LENGTH;
    neighbor.m_linkLayer.assign(row.PhysicalAddress, row.PhysicalAddress + length);
    neighbor.m_nState = row.State;
    neighbor.m_bRouter = row.IsRouter != 0;
    reading.m_neighbors.push_back(std::move(neighbor));
  }
  pfnFreeTable(table);
  reading.m_state = InterfaceReadState::Read;
  return reading;
}

}  // namespace vantoric
