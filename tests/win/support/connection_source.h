// Guard facts for tests: while a CInjectedGuardFacts lives, the guards read
// the connections and default-gateway answers that the test sets instead of
// the system's, so that a flow can have "two connections" on an address.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/address_guards.h"
#include "core/connection_guard_win32.h"

namespace vantoric::test {

// One established connection as the system's table gives it.
CTcpConnection EstablishedConnection(std::string localAddress, std::uint16_t localPort, std::string remoteAddress,
                                     std::uint16_t remotePort = 50123);

// Installs itself as the guards' source; the destructor restores the
// system's. It starts with a readable table without connections and no
// adapter with a default gateway. One at a time.
class CInjectedGuardFacts {
 public:
  CInjectedGuardFacts();
  ~CInjectedGuardFacts();
  CInjectedGuardFacts(const CInjectedGuardFacts&) = delete;
  CInjectedGuardFacts& operator=(const CInjectedGuardFacts&) = delete;

  void SetConnections(std::vector<CTcpConnection> connections);
  // The table reads as "could not be read".
  void SetConnectionsUnreadable();
  // The answer for one adapter by friendly name; the others answer Absent.
  void SetDefaultRoute(const std::string& adapterName, DefaultRoute answer);

  // The route table that is read (it starts empty and readable), and the
  // interface identity of an adapter by friendly name (unknown ones fail).
  void SetRouteTable(CRouteTableReading reading) { m_routeTable = std::move(reading); }
  const CRouteTableReading& RouteTable() const { return m_routeTable; }
  void SetInterfaceId(const std::string& adapterName, std::uint64_t id) { m_interfaceIds[adapterName] = id; }

  // How often the guards asked: each guard reads the facts anew.
  int ConnectionReads() const { return m_nConnectionReads; }
  int RouteReads() const { return m_nRouteReads; }

 private:
  CConnectionReading m_reading{true, {}};
  std::map<std::string, DefaultRoute> m_routes;
  CRouteTableReading m_routeTable{RouteTableState::Read, 0, {}};
  std::map<std::string, std::uint64_t> m_interfaceIds;
  int m_nConnectionReads = 0;
  int m_nRouteReads = 0;
};

}  // namespace vantoric::test
