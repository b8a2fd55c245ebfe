// The interface functions and their types come with Windows 6. They are
// looked up at run time, so this file sees the Windows 6 declarations
// whatever version the program is built for; nothing newer is imported.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef WINVER
#define WINVER 0x0600

#include "core/interface_settings_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <utility>

#include "core/connection_guard_win32.h"
#include "core/neighbors_win32.h"
#include "framework/system_library.h"

namespace vantoric {
namespace {

CInterfaceFactsSource g_source;

using GetIpInterfaceEntryFn = decltype(&::GetIpInterfaceEntry);
using GetIfEntry2Fn = decltype(&::GetIfEntry2);

static_assert(ROUTER_DISCOVERY_DISABLED == RouterDiscoveryDisabled &&
              ROUTER_DISCOVERY_ENABLED == RouterDiscoveryEnabled && ROUTER_DISCOVERY_DHCP == RouterDiscoveryDhcp);

// The adapter's own MTU, the largest its link takes; 0 when not told.
std::uint32_t ReadLargestMtu(const NET_LUID& luid) {
  static const auto pfnIfEntry = GetSystemFunction<GetIfEntry2Fn>(L"iphlpapi.dll", "GetIfEntry2");
  if (pfnIfEntry == nullptr) return 0;
  MIB_IF_ROW2 row{};
  row.InterfaceLuid = luid;
  return pfnIfEntry(&row) == NO_ERROR ? row.Mtu : 0;
}

CInterfaceReading ReadSystemSettings(std::uint64_t interfaceId) {
  static const auto pfnEntry = GetSystemFunction<GetIpInterfaceEntryFn>(L"iphlpapi.dll", "GetIpInterfaceEntry");
  CInterfaceReading reading;
  if (pfnEntry == nullptr) {
    reading.m_state = InterfaceReadState::NotSupported;
    return reading;
  }
  MIB_IPINTERFACE_ROW row{};
  row.Family = AF_INET6;
  row.InterfaceLuid.Value = interfaceId;
  const DWORD rc = pfnEntry(&row);
  if (rc != NO_ERROR) {
    reading.m_nError = rc;
    return reading;
  }
  CInterfaceSettings& s = reading.m_settings;
  s.m_nMtu = row.NlMtu;
  s.m_nLargestMtu = ReadLargestMtu(row.InterfaceLuid);
  s.m_bAutomaticMetric = row.UseAutomaticMetric != FALSE;
  s.m_nMetric = row.Metric;
  s.m_bForwarding = row.ForwardingEnabled != FALSE;
  s.m_bAdvertising = row.AdvertisingEnabled != FALSE;
  s.m_nRouterDiscovery = row.RouterDiscoveryBehavior;
  s.m_bManaged = row.ManagedAddressConfigurationSupported != FALSE;
  s.m_bOtherStateful = row.OtherStatefulConfigurationSupported != FALSE;
  s.m_nDadTransmits = row.DadTransmits;
  s.m_nBaseReachableMs = row.BaseReachableTime;
  s.m_nReachableMs = row.ReachableTime;
  reading.m_state = InterfaceReadState::Read;
  return reading;
}

}  // namespace

void SetInterfaceFactsSource(CInterfaceFactsSource source) { g_source = std::move(source); }

CInterfaceReading ReadInterfaceSettings(std::uint64_t interfaceId) {
  return g_source.m_readSettings ? g_source.m_readSettings(interfaceId) : ReadSystemSettings(interfaceId);
}

CNeighborReading ReadNeighborTable() {
  return g_source.m_readNeighbors ? g_source.m_readNeighbors() : ReadSystemNeighborTable();
}

std::vector<CAdapterLinkFacts> ReadAdapterLinkFacts(const std::vector<std::string>& adapterNames) {
  const CNeighborReading neighbors = ReadNeighborTable();
  std::vector<CAdapterLinkFacts> links(adapterNames.size());
  for (std::size_t i = 0; i < adapterNames.size(); ++i) {
    std::uint64_t id = 0;
    if (!ReadInterfaceId(adapterNames[i], id)) continue;
    const CInterfaceReading settings = ReadInterfaceSettings(id);
    links[i].m_bSettingsRead = settings.m_state == InterfaceReadState::Read;
    links[i].m_settings = settings.m_settings;
    links[i].m_bNeighborsRead = neighbors.m_state == InterfaceReadState::Read;
    if (links[i].m_bNeighborsRead) links[i].m_neighbors = MakeNeighborRecords(neighbors.m_neighbors, id);
  }
  return links;
}

}  // namespace vantoric
