// The system facts that the guards weigh, read on Windows at each call
// (nothing is kept): the established IPv6 TCP connections and whether an
// adapter has a default IPv6 gateway. The functions are looked up in the
// IP helper library at first use, so that a Windows without them still
// runs the program; their answers then say that the fact is not known.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/adapter_records.h"
#include "core/address_guards.h"
#include "core/route_records.h"

namespace vantoric {

// The IPv6 route table as read at one call.
enum class RouteTableState {
  Read,
  NotSupported,  // this Windows has no route table functions (version 5.2)
  Failed,        // m_nError says why
};
struct CRouteTableReading {
  RouteTableState m_state = RouteTableState::Failed;
  std::uint32_t m_nError = 0;
  std::vector<CRouteData> m_routes;
};

// The source of the facts. It is the guards' one seam: tests install one
// that hands them connections and gateway answers. An empty function reads
// the system.
struct CGuardFactsSource {
  std::function<CConnectionReading()> m_readConnections;
  std::function<DefaultRoute(const std::string& adapterName)> m_readDefaultRoute;
  std::function<CRouteTableReading()> m_readRouteTable;
  // The interface identity (LUID) of an adapter by friendly name; false
  // when it is not known.
  std::function<bool(const std::string& adapterName, std::uint64_t& id)> m_readInterfaceId;
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

// Every IPv6 route (GetIpForwardTable2), with the addresses as the system
// prints them.
CRouteTableReading ReadRouteTable();
// The LUID of the interface whose alias is the adapter's friendly name
// (ConvertInterfaceAliasToLuid); false when it cannot be told.
bool ReadInterfaceId(const std::string& adapterName, std::uint64_t& id);

// The routes of each record, in record order (MakeRouteRecords), from one
// reading of the table; false when the table or an adapter's identity
// could not be read.
bool ReadRoutesOfRecords(const CAdapterRecord* records, std::size_t count,
                         std::vector<std::vector<CRouteRecord>>& routes);

}  // namespace vantoric
