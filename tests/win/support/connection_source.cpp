#include "tests/win/support/connection_source.h"

#include <utility>

#include "core/connection_guard_win32.h"

namespace vantoric::test {

CTcpConnection EstablishedConnection(std::string localAddress, std::uint16_t localPort, std::string remoteAddress,
                                     std::uint16_t remotePort) {
  return {std::move(localAddress), localPort, std::move(remoteAddress), remotePort};
}

CInjectedGuardFacts::CInjectedGuardFacts() {
  CGuardFactsSource source;
  source.m_readConnections = [this] {
    ++m_nConnectionReads;
    return m_reading;
  };
  source.m_readDefaultRoute = [this](const std::string& adapterName) {
    ++m_nRouteReads;
    const auto found = m_routes.find(adapterName);
    return found == m_routes.end() ? DefaultRoute::Absent : found->second;
  };
  source.m_readRouteTable = [this] { return m_routeTable; };
  source.m_readInterfaceId = [this](const std::string& adapterName, std::uint64_t& id) {
    const auto found = m_interfaceIds.find(adapterName);
    if (found == m_interfaceIds.end()) return false;
    id = found->second;
    return true;
  };
  SetGuardFactsSource(std::move(source));
}

CInjectedGuardFacts::~CInjectedGuardFacts() { SetGuardFactsSource({}); }

void CInjectedGuardFacts::SetConnections(std::vector<CTcpConnection> connections) {
  m_reading = {true, std::move(connections)};
}

void CInjectedGuardFacts::SetConnectionsUnreadable() { m_reading = {false, {}}; }

void CInjectedGuardFacts::SetDefaultRoute(const std::string& adapterName, DefaultRoute answer) {
  m_routes[adapterName] = answer;
}

}  // namespace vantoric::test
