// The system facts that the guards weigh, read on Windows at each call
// (nothing is kept): the established IPv6 TCP connections and whether an
// adapter has a default IPv6 gateway. The functions are looked up in the
// IP helper library at first use, so that a Windows without them still
// runs the program; their answers then say that the fact is not known.
#pragma once

#include <functional>
#include <string>

#include "core/address_guards.h"

namespace vantoric {

// The source of the facts. It is the guards' one seam: tests install one
// that hands them connections and gateway answers. An empty function reads
// the system.
struct CGuardFactsSource {
  std::function<CConnectionReading()> m_readConnections;
  std::function<DefaultRoute(const std::string& adapterName)> m_readDefaultRoute;
};

// Installs a source; a default-constructed one restores the system's.
void SetGuardFactsSource(CGuardFactsSource source);

// The established TCP connections over IPv6 (GetExtendedTcpTable), with
// their addresses as the system prints them. m_bRead is false when the
// table could not be read, which is not the same as no connections.
CConnectionReading ReadEstablishedConnections();

// Whether the adapter with this friendly name has a ::/0 route through a
// gateway (GetIpForwardTable2). Unknown where this Windows lacks the route
// functions (version 5.2); Unreadable when the table or the adapter's
// identity could not be read.
DefaultRoute ReadDefaultRoute(const std::string& adapterName);

}  // namespace vantoric
