// The plan of `vantoric /apply`: what makes a machine match the wanted
// state (apply_file.h), as the changes the windows make, in a safe order,
// weighed by the windows' guards. Portable; the machine is read and the
// plan run in app/apply_command_win32.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/adapter_records.h"
#include "core/address_guards.h"
#include "core/apply_file.h"
#include "core/command_history.h"
#include "core/route_records.h"

namespace vantoric {

// The machine as read for a plan.
struct CApplyReading {
  const CAdapterRecord* m_pRecords = nullptr;
  std::size_t m_nCount = 0;
  // Each record's routes, in record order; nullptr when the route table
  // could not be read.
  const std::vector<std::vector<CRouteRecord>>* m_pRoutes = nullptr;
  // Asked at most once, and only when the plan removes an address or a
  // route; empty: the connections are not known.
  std::function<CConnectionReading()> m_readConnections;
};

// What a guard or a check said about a change: a refusal (Refuse), a
// warning (Warn), or a note that a fact could not be checked (Proceed).
struct CPlanFinding {
  GuardOutcome m_outcome = GuardOutcome::Proceed;
  std::string m_strAdapter;  // the friendly name
  std::string m_strText;

  bool operator==(const CPlanFinding&) const = default;
};

struct CApplyPlan {
  // Set when the file's entries do not each name one adapter of the
  // machine; nothing is planned then.
  std::string m_strError;
  std::vector<CChange> m_changes;
  std::vector<CPlanFinding> m_findings;
  // The change before which a run reads the addresses it has added again
  // and waits for them (CheckAddedAddresses): the first after the address
  // adds, when something is removed from there on. NO_SETTLE: nowhere.
  std::size_t m_nSettleBefore = NO_SETTLE;
  static constexpr std::size_t NO_SETTLE = static_cast<std::size_t>(-1);

  bool IsRefused() const { return Has(GuardOutcome::Refuse); }
  bool HasWarnings() const { return Has(GuardOutcome::Warn); }

 private:
  bool Has(GuardOutcome outcome) const;
};

// The changes that make the reading match `wanted`. Each entry must name
// exactly one adapter, and no two the same one. Per adapter and section:
// manual addresses not wanted are removed, wanted ones added, or set when
// their lifetimes differ; the DNS servers become the wanted list in its
// order; manual routes not wanted are removed, wanted ones added, and a
// route whose metric, lifetimes or store differ is changed in place (set
// route). A kept address set to a valid lifetime shorter than a minute goes
// as good as a removal: it is planned among the removals, weighed by their
// guards, and warned about.
// What the system configured is never touched. A finite wanted lifetime is
// met by a remaining one that is not longer (it counts down from when it
// was set); "infinite" by one that the program shows as infinite.
// Order, over all adapters: address adds and sets, address removals (and
// sets that end an address), route adds, changed routes, route removals,
// DNS: whatever is removed has its replacement in place first, and the
// default-route guard of every route removal counts the routes added. Refusals: an address that
// cannot be given to an adapter, a type other than unicast, an invalid
// lifetime or store, an address, route or DNS server listed twice, a route
// the Add Route check refuses, routes wanted where the table could not be
// read. Warnings are the windows' (a new address another adapter holds,
// open connections on a removed address, the last global address, the only
// default route, a link-local DNS server, ...).
CApplyPlan PlanApply(const CWantedState& wanted, const CApplyReading& reading);

// How the addresses that a run has added stand in a new reading.
enum class AddedAddressState {
  Settled,    // each is there and has left Tentative
  Pending,    // one is still Tentative, or not in the reading yet
  Duplicate,  // one failed duplicate address detection
};
struct CAddedAddressCheck {
  AddedAddressState m_state = AddedAddressState::Pending;
  // The address that is pending or a duplicate, with its adapter, and what
  // to tell about it; empty when settled.
  std::string m_strText;
};
// The AddAddress changes among the first `ran` changes of the plan, looked
// for in `records` by adapter name and address: a duplicate among them
// decides, then one still pending.
CAddedAddressCheck CheckAddedAddresses(const CApplyPlan& plan, std::size_t ran, const CAdapterRecord* records,
                                       std::size_t count);

}  // namespace vantoric
