#include "dialogs/undo_run_win32.h"

#include <string>

#include "core/adapter_enumeration_win32.h"
#include "core/address_guards.h"
#include "core/connection_guard_win32.h"
#include "core/route_records.h"
#include "dialogs/guard_prompt_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "dialogs/undo_rules.h"
#include "framework/message_box.h"

namespace vantoric {

namespace {

constexpr char kUndoCaption[] = "Undo";

// The record of the adapter with this name; nullptr when there is none.
const CAdapterRecord* FindRecord(const CUndoReading& reading, const std::string& name, std::size_t& index) {
  for (index = 0; index < reading.m_nCount; ++index)
    if (reading.m_records[index].m_strFriendlyName == name) return &reading.m_records[index];
  return nullptr;
}

// The guard of a route removal: the adapter's routes now and the one the
// command removes.
bool PassRouteRemovalGuard(HWND owner, const CChange& change) {
  std::uint64_t id = 0;
  const CRouteTableReading table = ReadRouteTable();
  if (table.m_state != RouteTableState::Read || !ReadInterfaceId(change.m_strInterface, id)) return true;
  const std::vector<CRouteRecord> routes = MakeRouteRecords(table.m_routes, id);
  if (FindRemovedRoute(routes, change) == nullptr) return true;
  const std::size_t beyondLink = CountConnectionsBeyondLink(ReadEstablishedConnections(), routes);
  return PassGuard(owner, CheckUndoRouteRemoval(change, routes, beyondLink), kUndoCaption);
}

// Turning forwarding or advertising back on asks what the Interface page
// asks before it does.
bool PassRouterQuestion(HWND owner, const CChange& change) {
  const std::string question = FormatUndoRouterQuestion(change);
  return question.empty() ||
         ShowMessage(owner, question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, kUndoCaption) == IDYES;
}

bool PassGuardsOf(HWND owner, const CChange& change, const CUndoReading& reading) {
  std::size_t index = 0;
  const CAdapterRecord* pRecord = FindRecord(reading, change.m_strInterface, index);
  if (pRecord == nullptr) return true;  // the plan has refused it already
  switch (change.m_kind) {
    case ChangeKind::DeleteAddress:
      return PassGuard(owner,
                       CheckOpenConnections(change.m_strAddress, ReadEstablishedConnections(), AddressChange::Remove),
                       kUndoCaption) &&
             PassGuard(owner,
                       CheckLastGlobalAddress(change.m_strAddress, change.m_strInterface, pRecord->m_addresses,
                                              ReadDefaultRoute(change.m_strInterface)),
                       kUndoCaption);
    case ChangeKind::AddAddress:
      return PassGuard(owner,
                       CheckNewAddress(change.m_strAddress,
                                       AddressesOfOtherAdapters(reading.m_records.get(), reading.m_nCount, index),
                                       AddressChange::Add),
                       kUndoCaption);
    case ChangeKind::AddDns:
      return PassGuard(owner, CheckNewDnsServer(change.m_strAddress, pRecord->m_dnsServers), kUndoCaption);
    case ChangeKind::DeleteRoute:
      return PassRouteRemovalGuard(owner, change);
    case ChangeKind::SetInterface:
      return PassRouterQuestion(owner, change);
    case ChangeKind::SetAddress:
    case ChangeKind::DeleteDns:
    case ChangeKind::AddRoute:
    case ChangeKind::SetRoute:
    case ChangeKind::System:
    case ChangeKind::DeleteNeighbors:
      break;
  }
  return true;
}

}  // namespace

bool ReadAdaptersForUndo(HWND owner, CUndoReading& reading) {
  std::vector<std::string> names;
  const DWORD error = TakeAdapterSnapshot(reading.m_records, reading.m_nCount, names);
  if (error != 0) {
    ShowMessage(owner, "The network adapters could not be read: " + GetSystemMessage(error), MB_OK | MB_ICONERROR,
                kUndoCaption);
    return false;
  }
  for (const std::string& name : names) {
    CAdapterIdentity identity;
    identity.m_strName = name;
    if (!ReadInterfaceId(name, identity.m_nInterfaceId)) identity.m_nInterfaceId = 0;
    reading.m_identities.push_back(std::move(identity));
  }
  return true;
}

bool PassUndoGuards(HWND owner, const CUndoPlan& plan, const CUndoReading& reading) {
  for (const CChange& change : plan.m_changes)
    if (!PassGuardsOf(owner, change, reading)) return false;
  return true;
}

std::size_t RunUndoPlan(const CUndoPlan& plan, CNetshRunner& runner, HWND owner, CCommandHistory& history,
                        CNetshResult& failure) {
  for (std::size_t i = 0; i < plan.m_changes.size(); ++i) {
    const int nUndoes = i < plan.m_undoneIds.size() ? plan.m_undoneIds[i] : 0;
    const CNetshResult result = RunChangeForWindow(plan.m_changes[i], runner, owner, &history, 0, nUndoes);
    if (!result.Succeeded()) {
      failure = result;
      return i;
    }
    history.MarkUndone({nUndoes});
  }
  return plan.m_changes.size();
}

}  // namespace vantoric
