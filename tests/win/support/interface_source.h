// Interface facts for tests: while a CInjectedInterfaceFacts lives, the
// Interface and Neighbors pages and /list read the settings and the
// neighbor cache that the test sets instead of the system's (under Wine the
// system's tables are thin). It starts with no interface readable and an
// empty, readable neighbor cache. One at a time.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "core/interface_settings_win32.h"

namespace vantoric::test {

class CInjectedInterfaceFacts {
 public:
  CInjectedInterfaceFacts();
  ~CInjectedInterfaceFacts();
  CInjectedInterfaceFacts(const CInjectedInterfaceFacts&) = delete;
  CInjectedInterfaceFacts& operator=(const CInjectedInterfaceFacts&) = delete;

  // The settings of the interface with this LUID; others fail with
  // ERROR_NOT_FOUND.
  void SetSettings(std::uint64_t interfaceId, const CInterfaceSettings& settings) { m_settings[interfaceId] = settings; }
  void SetNeighbors(std::vector<CNeighborData> neighbors) { m_neighbors.m_neighbors = std::move(neighbors); }
  // Both readings answer as a Windows without the functions does.
  void SetNotSupported(bool bNotSupported) { m_bNotSupported = bNotSupported; }

  // How often the neighbor cache was read.
  int NeighborReads() const { return m_nNeighborReads; }

 private:
  std::map<std::uint64_t, CInterfaceSettings> m_settings;
  CNeighborReading m_neighbors{InterfaceReadState::Read, 0, {}};
  bool m_bNotSupported = false;
  int m_nNeighborReads = 0;
};

}  // namespace vantoric::test
