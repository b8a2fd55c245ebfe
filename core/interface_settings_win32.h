// An interface's IPv6 settings and the IPv6 neighbor cache, read on Windows
// at each call (nothing is kept). The functions come with Windows 6 and are
// looked up in the IP helper library at first use, so that a Windows
// without them (version 5.2) still runs the program; the readings then say
// that they are not supported.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/adapter_listing.h"
#include "core/interface_settings.h"
#include "core/neighbors.h"

namespace vantoric {

// How a reading went.
enum class InterfaceReadState {
  Read,
  NotSupported,  // this Windows lacks the function (version 5.2)
  Failed,        // m_nError says why
};

struct CInterfaceReading {
  InterfaceReadState m_state = InterfaceReadState::Failed;
  std::uint32_t m_nError = 0;
  CInterfaceSettings m_settings;
};

struct CNeighborReading {
  InterfaceReadState m_state = InterfaceReadState::Failed;
  std::uint32_t m_nError = 0;
  std::vector<CNeighborData> m_neighbors;
};

// The source of the readings: tests install one that hands them settings
// and a neighbor cache. An empty function reads the system.
struct CInterfaceFactsSource {
  std::function<CInterfaceReading(std::uint64_t interfaceId)> m_readSettings;
  std::function<CNeighborReading()> m_readNeighbors;
};

// Installs a source; a default-constructed one restores the system's.
void SetInterfaceFactsSource(CInterfaceFactsSource source);

// The IPv6 settings of the interface with this LUID (GetIpInterfaceEntry),
// with the adapter's largest MTU where GetIfEntry2 tells it.
CInterfaceReading ReadInterfaceSettings(std::uint64_t interfaceId);

// Every entry of the IPv6 neighbor cache (GetIpNetTable2, neighbors_win32).
CNeighborReading ReadNeighborTable();

// The settings and neighbors of each adapter by friendly name, in order,
// for /list; what could not be read stays unread (null there).
std::vector<CAdapterLinkFacts> ReadAdapterLinkFacts(const std::vector<std::string>& adapterNames);

}  // namespace vantoric
