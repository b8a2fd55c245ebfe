#include "core/apply_plan.h"

#include <algorithm>
#include <optional>

#include "core/address_names.h"
#include "core/lifetime_text.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

// The changes of every adapter, by phase, and what the guards said.
struct CPlanParts {
  std::vector<CChange> m_addressAdds;
  std::vector<CChange> m_addressRemovals;
  std::vector<CChange> m_routeAdds;
  std::vector<CChange> m_routeChanges;
  std::vector<CChange> m_routeRemovals;
  std::vector<CChange> m_dns;
  std::vector<CPlanFinding> m_findings;
};

// One adapter being planned: its record, its routes, and the machine.
struct CAdapterPlan {
  const CAdapterRecord& m_record;
  std::size_t m_nIndex;
  const CApplyReading& m_reading;
  std::optional<CConnectionReading>& m_connections;
  CPlanParts& m_parts;

  const std::string& Name() const { return m_record.m_strFriendlyName; }
  const std::vector<CRouteRecord>* Routes() const {
    return m_reading.m_pRoutes != nullptr && m_nIndex < m_reading.m_pRoutes->size()
               ? &(*m_reading.m_pRoutes)[m_nIndex]
               : nullptr;
  }
  const CConnectionReading& Connections() const {
    if (!m_connections) m_connections = m_reading.m_readConnections ? m_reading.m_readConnections() : CConnectionReading{};
    return *m_connections;
  }
  // Findings quote the file's values and the adapter's name: escaped here.
  void Note(const CGuardVerdict& verdict) const {
    if (!verdict.m_strText.empty())
      m_parts.m_findings.push_back(
          {verdict.m_outcome, EscapeControlText(Name()), EscapeControlText(verdict.m_strText)});
  }
  void Refuse(const std::string& text) const {
    m_parts.m_findings.push_back({GuardOutcome::Refuse, EscapeControlText(Name()), EscapeControlText(text)});
  }
  CChange Change(ChangeKind kind, const std::string& address) const {
    CChange change;
    change.m_kind = kind;
    change.m_strInterface = Name();
    change.m_strAddress = address;
    return change;
  }
};

// A kept address given less valid lifetime than this is as good as removed:
// it is gone before a person could notice and take the change back.
constexpr std::uint64_t MIN_KEPT_VALID_SECONDS = 60;

bool IsManual(const std::string& kindOrOrigin) { return kindOrOrigin == GetAddressTypeName(ADDRTYPE_MANUAL); }

bool IsExpiring(const std::string& validLifetime) {
  return !IsInfiniteLifetime(validLifetime) && LifetimeToSeconds(validLifetime) < MIN_KEPT_VALID_SECONDS;
}

// Whether a remaining lifetime meets the wanted one (see PlanApply).
bool IsLifetimeMet(const std::string& wanted, std::uint32_t seconds) {
  if (IsInfiniteLifetime(wanted)) return IsInfiniteLifetime(FormatLifetime(seconds));
  return seconds != INFINITE_LIFETIME && seconds <= LifetimeToSeconds(wanted);
}

bool IsLifetimeText(const std::string& text) { return IsInfiniteLifetime(text) || IsLifetimeTextAcceptable(text); }

// The refusal of a wanted address's values, empty when they check out.
std::string CheckAddressValues(const CWantedAddress& wanted) {
  const std::string& a = wanted.m_strAddress;
  if (LowerAscii(wanted.m_strType) != "unicast")
    return a + ": the type \"" + wanted.m_strType + "\" cannot be applied: only unicast addresses are read back.";
  if (!IsLifetimeText(wanted.m_strValidLifetime) || !IsLifetimeText(wanted.m_strPreferredLifetime))
    return a + ": a lifetime is neither \"infinite\" nor lifetime text such as 1d2h3m4s.";
  if (!IsLifetimeOrderValid(wanted.m_strValidLifetime, wanted.m_strPreferredLifetime))
    return a + ": the preferred lifetime is longer than the valid lifetime.";
  const std::string store = LowerAscii(wanted.m_strStore);
  if (store != "active" && store != "persistent")
    return a + ": the store \"" + wanted.m_strStore + "\" is neither \"active\" nor \"persistent\".";
  return {};
}

void NoteBefore(CChange& change, const CAddressRecord& address) {
  change.m_bHadBefore = true;
  change.m_strTypeBefore = "unicast";
  change.m_nValidSecondsBefore = address.m_nValidSeconds;
  change.m_nPreferredSecondsBefore = address.m_nPreferredSeconds;
  // The history puts back only what a person configured.
  change.m_strOriginBefore = address.m_strKind;
}

// Address texts as bytes, read once: a plan compares every wanted address
// with every one the adapter holds. A text that does not parse is nullopt
// and matches nothing.
std::vector<std::optional<CIpv6Bytes>> ParseAll(const auto& entries) {
  std::vector<std::optional<CIpv6Bytes>> out;
  out.reserve(entries.size());
  for (const auto& entry : entries) {
    CIpv6Bytes bytes;
    out.push_back(ParseIpv6Bytes(entry.m_strAddress, bytes) ? std::optional(bytes) : std::nullopt);
  }
  return out;
}

// The index of `bytes` among the first `end` of `all`, or `end`.
std::size_t FindBytes(const std::vector<std::optional<CIpv6Bytes>>& all, std::size_t end,
                      const std::optional<CIpv6Bytes>& bytes) {
  for (std::size_t i = 0; bytes && i < end; ++i)
    if (all[i] == bytes) return i;
  return end;
}

void PlanAddresses(const CAdapterPlan& plan, const std::vector<CWantedAddress>& wanted) {
  const CAdapterRecord& record = plan.m_record;
  std::vector<CAddressRecord> model = record.m_addresses;
  std::vector<bool> kept(record.m_addresses.size(), false);
  const auto wantedBytes = ParseAll(wanted);
  auto heldBytes = ParseAll(record.m_addresses);
  for (std::size_t i = 0; i < heldBytes.size(); ++i)
    if (!IsManual(record.m_addresses[i].m_strKind)) heldBytes[i].reset();
  std::optional<std::vector<CHeldAddress>> others;
  // Kept addresses whose new valid lifetime ends them: removals in effect.
  std::vector<std::pair<std::size_t, CChange>> expiring;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const CWantedAddress& w = wanted[i];
    const std::size_t held = FindBytes(heldBytes, heldBytes.size(), wantedBytes[i]);
    // Listed, even when refused: it is not one to remove.
    if (held < heldBytes.size()) kept[held] = true;
    if (FindBytes(wantedBytes, i, wantedBytes[i]) < i) {
      plan.Refuse(w.m_strAddress + " is listed twice.");
      continue;
    }
    if (const std::string refusal = CheckAddressValues(w); !refusal.empty()) {
      plan.Refuse(refusal);
      continue;
    }
    CChange change = plan.Change(ChangeKind::AddAddress, w.m_strAddress);
    change.m_strType = LowerAscii(w.m_strType);
    change.m_strValidLifetime = w.m_strValidLifetime;
    change.m_strPreferredLifetime = w.m_strPreferredLifetime;
    change.m_strStore = LowerAscii(w.m_strStore);
    if (held < heldBytes.size()) {
      const CAddressRecord& address = record.m_addresses[held];
      if (IsLifetimeMet(w.m_strValidLifetime, address.m_nValidSeconds) &&
          IsLifetimeMet(w.m_strPreferredLifetime, address.m_nPreferredSeconds))
        continue;
      change.m_kind = ChangeKind::SetAddress;
      change.m_strStore.clear();
      NoteBefore(change, address);
      if (IsExpiring(w.m_strValidLifetime)) {
        expiring.emplace_back(held, std::move(change));
        continue;
      }
    } else {
      if (!others)
        others = AddressesOfOtherAdapters(plan.m_reading.m_pRecords, plan.m_reading.m_nCount, plan.m_nIndex);
      const CGuardVerdict verdict = CheckNewAddress(w.m_strAddress, *others, AddressChange::Add);
      plan.Note(verdict);
      if (verdict.m_outcome == GuardOutcome::Refuse) continue;
      CAddressRecord added;
      added.m_strAddress = w.m_strAddress;
      added.m_strKind = GetAddressTypeName(ADDRTYPE_MANUAL);
      model.push_back(added);
    }
    plan.m_parts.m_addressAdds.push_back(std::move(change));
  }
  const std::vector<CRouteRecord>* routes = plan.Routes();
  DefaultRoute gateway = DefaultRoute::Unreadable;
  if (routes != nullptr) {
    gateway = std::any_of(routes->begin(), routes->end(),
                          [](const CRouteRecord& r) { return r.m_bDefault && !r.m_strNextHopAddress.empty(); })
                  ? DefaultRoute::Present
                  : DefaultRoute::Absent;
  }
  // Removals come after every add, with the windows' removal guards weighed
  // on the addresses as the adds leave them.
  const auto remove = [&](const CAddressRecord& address, CChange change) {
    plan.Note(CheckOpenConnections(address.m_strAddress, plan.Connections(), AddressChange::Remove));
    plan.Note(CheckLastGlobalAddress(address.m_strAddress, plan.Name(), model, gateway));
    model.erase(std::find_if(model.begin(), model.end(),
                             [&](const CAddressRecord& a) { return a.m_strAddress == address.m_strAddress; }));
    plan.m_parts.m_addressRemovals.push_back(std::move(change));
  };
  for (auto& [held, change] : expiring) {
    plan.Note({GuardOutcome::Warn, GuardReason::None,
               "A valid lifetime of " + change.m_strValidLifetime + " for " + change.m_strAddress +
                   " is shorter than a minute: the address goes, as if it were removed."});
    remove(record.m_addresses[held], std::move(change));
  }
  for (std::size_t i = 0; i < record.m_addresses.size(); ++i) {
    const CAddressRecord& address = record.m_addresses[i];
    if (kept[i] || !IsManual(address.m_strKind)) continue;
    CChange change = plan.Change(ChangeKind::DeleteAddress, address.m_strAddress);
    NoteBefore(change, address);
    remove(address, std::move(change));
  }
}

void PlanDnsServers(const CAdapterPlan& plan, const std::vector<std::string>& wanted) {
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const std::vector<std::string> before(wanted.begin(), wanted.begin() + static_cast<std::ptrdiff_t>(i));
    const CGuardVerdict verdict = CheckNewDnsServer(wanted[i], before);
    if (verdict.m_outcome == GuardOutcome::Refuse) {
      plan.Note(verdict);
      return;
    }
  }
  // The list as the commands leave it: each wanted server put in its place
  // (moved there when it is further down), then the others removed.
  std::vector<std::string> list = plan.m_record.m_dnsServers;
  const auto remove = [&](std::size_t at) {
    CChange change = plan.Change(ChangeKind::DeleteDns, list[at]);
    change.m_strPosition = std::to_string(at + 1);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(at));
    change.m_dnsServersAfter = list;
    plan.m_parts.m_dns.push_back(std::move(change));
  };
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (i < list.size() && IsSameAddress(list[i], wanted[i])) continue;
    for (std::size_t j = i + 1; j < list.size(); ++j) {
      if (IsSameAddress(list[j], wanted[i])) {
        remove(j);
        break;
      }
    }
    if (const CGuardVerdict verdict = CheckNewDnsServer(wanted[i], list); verdict.m_outcome == GuardOutcome::Warn)
      plan.Note(verdict);
    CChange change = plan.Change(ChangeKind::AddDns, wanted[i]);
    change.m_strPosition = std::to_string(i + 1);
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(i, list.size())), wanted[i]);
    change.m_dnsServersAfter = list;
    plan.m_parts.m_dns.push_back(std::move(change));
  }
  while (list.size() > wanted.size()) remove(list.size() - 1);
}

bool IsSameRoute(const CRouteInput& wanted, const CRouteRecord& route) {
  return IsSameHop(wanted.m_strNextHop, route.m_strNextHopAddress) &&
         IsSamePrefix(wanted.m_strPrefix, route.m_strDestination);
}

bool IsRouteMet(const CRouteInput& wanted, const CRouteRecord& route) {
  return (wanted.m_strMetric.empty() || wanted.m_strMetric == std::to_string(route.m_nMetric)) &&
         IsLifetimeMet(wanted.m_strValidLifetime, route.m_nValidSeconds) &&
         IsLifetimeMet(wanted.m_strPreferredLifetime, route.m_nPreferredSeconds) &&
         (route.m_strStore.empty() || LowerAscii(route.m_strStore) == LowerAscii(wanted.m_strStore));
}

void PlanRoutes(const CAdapterPlan& plan, const std::vector<CRouteInput>& wanted) {
  const std::vector<CRouteRecord>* routes = plan.Routes();
  if (routes == nullptr) {
    plan.Refuse("The routes cannot be applied: the route table could not be read.");
    return;
  }
  std::vector<CRouteRecord> model = *routes;
  std::vector<bool> kept(routes->size(), false);
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const CRouteInput& w = wanted[i];
    const std::string name = w.m_strPrefix + (w.m_strNextHop.empty() ? "" : " through " + w.m_strNextHop);
    const auto same = [&](const CRouteInput& other) {
      return IsSamePrefix(other.m_strPrefix, w.m_strPrefix) && IsSameHop(other.m_strNextHop, w.m_strNextHop);
    };
    const auto held = std::find_if(routes->begin(), routes->end(), [&](const CRouteRecord& r) {
      return IsManual(r.m_strOrigin) && IsSameRoute(w, r);
    });
    if (held != routes->end()) kept[static_cast<std::size_t>(held - routes->begin())] = true;
    if (std::any_of(wanted.begin(), wanted.begin() + static_cast<std::ptrdiff_t>(i), same)) {
      plan.Refuse("The route " + name + " is listed twice.");
      continue;
    }
    if (const CRouteInputCheck check = CheckRouteInput(w); !check.Passed()) {
      plan.Refuse("The route " + name + ": " + check.m_strText);
      continue;
    }
    CChange add = plan.Change(ChangeKind::AddRoute, w.m_strPrefix);
    add.m_strNextHop = w.m_strNextHop;
    add.m_strMetric = w.m_strMetric;
    add.m_strValidLifetime = w.m_strValidLifetime;
    add.m_strPreferredLifetime = w.m_strPreferredLifetime;
    add.m_strStore = LowerAscii(w.m_strStore);
    if (held == routes->end()) {
      // Added before any route is removed: a removal's guard counts it.
      CRouteRecord added;
      added.m_strDestination = w.m_strPrefix;
      added.m_strNextHopAddress = w.m_strNextHop;
      added.m_strOrigin = GetAddressTypeName(ADDRTYPE_MANUAL);
      added.m_bDefault = IsSamePrefix(w.m_strPrefix, "::/0");
      model.push_back(std::move(added));
      plan.m_parts.m_routeAdds.push_back(std::move(add));
      continue;
    }
    // Changed in place: the route is there all along.
    if (!IsRouteMet(w, *held)) plan.m_parts.m_routeChanges.push_back(MakeSetRouteChange(plan.Name(), *held, w));
  }
  for (std::size_t i = 0; i < routes->size(); ++i) {
    const CRouteRecord& route = (*routes)[i];
    if (kept[i] || !IsManual(route.m_strOrigin)) continue;
    std::erase_if(model, [&](const CRouteRecord& r) {
      return r.m_strDestination == route.m_strDestination && r.m_strNextHopAddress == route.m_strNextHopAddress;
    });
    const std::size_t beyondLink = route.m_bDefault ? CountConnectionsBeyondLink(plan.Connections(), model) : 0;
    plan.Note(CheckDefaultRouteRemoval(model, route, plan.Name(), beyondLink));
    CChange change = MakeDeleteRouteChange(plan.Name(), route);
    change.m_strOriginBefore = route.m_strOrigin;
    plan.m_parts.m_routeRemovals.push_back(std::move(change));
  }
}

bool HasDefaultGateway(const std::vector<CRouteRecord>& routes) {
  return std::any_of(routes.begin(), routes.end(),
                     [](const CRouteRecord& r) { return r.m_bDefault && !r.m_strNextHopAddress.empty(); });
}

bool Matches(const CAdapterSelector& selector, const CApplyReading& reading, std::size_t i) {
  const CAdapterRecord& record = reading.m_pRecords[i];
  if (selector.m_bName && record.m_strFriendlyName != selector.m_strName) return false;
  if (selector.m_bMac && record.GetMacText() != selector.m_strMac) return false;
  return !selector.m_bDefaultRoute || HasDefaultGateway((*reading.m_pRoutes)[i]);
}

std::string Describe(const CAdapterSelector& selector) {
  std::string text;
  const auto add = [&](const std::string& part) { text += (text.empty() ? "" : " and ") + part; };
  if (selector.m_bName) add("friendly_name \"" + selector.m_strName + "\"");
  if (selector.m_bMac) add("mac " + selector.m_strMac);
  if (selector.m_bDefaultRoute) add("a default route");
  return text;
}

// The record index of each entry, or the error.
std::string SelectAdapters(const CWantedState& wanted, const CApplyReading& reading,
                           std::vector<std::size_t>& selected) {
  for (const CWantedAdapter& adapter : wanted.m_adapters) {
    if (adapter.m_selector.m_bDefaultRoute && reading.m_pRoutes == nullptr)
      return adapter.m_strWhere + ": no adapter can be chosen by its default route: the route table could not be read.";
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < reading.m_nCount; ++i)
      if (Matches(adapter.m_selector, reading, i)) matches.push_back(i);
    if (matches.empty()) return adapter.m_strWhere + ": no adapter has " + Describe(adapter.m_selector) + ".";
    if (matches.size() > 1) {
      std::string names;
      for (std::size_t i : matches) names += (names.empty() ? "" : ", ") + reading.m_pRecords[i].m_strFriendlyName;
      return adapter.m_strWhere + ": " + std::to_string(matches.size()) + " adapters have " +
             Describe(adapter.m_selector) + " (" + names + ").";
    }
    if (std::find(selected.begin(), selected.end(), matches[0]) != selected.end())
      return adapter.m_strWhere + ": " + reading.m_pRecords[matches[0]].m_strFriendlyName +
             " is named by an earlier entry too.";
    selected.push_back(matches[0]);
  }
  return {};
}

void Append(std::vector<CChange>& to, std::vector<CChange>& from) {
  to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

}  // namespace

bool CApplyPlan::Has(GuardOutcome outcome) const {
  return std::any_of(m_findings.begin(), m_findings.end(),
                     [&](const CPlanFinding& f) { return f.m_outcome == outcome; });
}

CApplyPlan PlanApply(const CWantedState& wanted, const CApplyReading& reading) {
  CApplyPlan plan;
  std::vector<std::size_t> selected;
  plan.m_strError = EscapeControlText(SelectAdapters(wanted, reading, selected));
  if (!plan.m_strError.empty()) return plan;
  CPlanParts parts;
  std::optional<CConnectionReading> connections;
  for (std::size_t k = 0; k < selected.size(); ++k) {
    const CWantedAdapter& adapter = wanted.m_adapters[k];
    const CAdapterPlan one{reading.m_pRecords[selected[k]], selected[k], reading, connections, parts};
    if (adapter.m_bAddresses) PlanAddresses(one, adapter.m_addresses);
    if (adapter.m_bRoutes) PlanRoutes(one, adapter.m_routes);
    if (adapter.m_bDnsServers) PlanDnsServers(one, adapter.m_dnsServers);
  }
  const bool bAdds = std::any_of(parts.m_addressAdds.begin(), parts.m_addressAdds.end(),
                                 [](const CChange& c) { return c.m_kind == ChangeKind::AddAddress; });
  const std::size_t addsEnd = parts.m_addressAdds.size();
  for (auto* phase : {&parts.m_addressAdds, &parts.m_addressRemovals, &parts.m_routeAdds, &parts.m_routeChanges,
                      &parts.m_routeRemovals, &parts.m_dns})
    Append(plan.m_changes, *phase);
  // What follows the address adds removes something when it ends an address
  // (the address removals) or deletes a route or a DNS server.
  const bool bRemovals = std::any_of(plan.m_changes.begin() + static_cast<std::ptrdiff_t>(addsEnd),
                                     plan.m_changes.end(), [](const CChange& c) {
                                       return c.m_kind == ChangeKind::DeleteAddress ||
                                              c.m_kind == ChangeKind::SetAddress ||
                                              c.m_kind == ChangeKind::DeleteRoute ||
                                              c.m_kind == ChangeKind::DeleteDns;
                                     });
  if (bAdds && bRemovals) plan.m_nSettleBefore = addsEnd;
  // A line that netsh's own check would refuse stops the plan before it runs.
  for (const CChange& change : plan.m_changes) {
    CNetshResult refused;
    refused.m_outcome = NetshOutcome::Refused;
    refused.m_refusal = CheckNetshLine(FormatChangeCommand(change));
    const CPlanFinding finding{GuardOutcome::Refuse, EscapeControlText(change.m_strInterface),
                               DescribeNetshResult(refused)};
    if (refused.m_refusal != NetshRefusal::None &&
        std::find(parts.m_findings.begin(), parts.m_findings.end(), finding) == parts.m_findings.end())
      parts.m_findings.push_back(finding);
  }
  plan.m_findings = std::move(parts.m_findings);
  return plan;
}

CAddedAddressCheck CheckAddedAddresses(const CApplyPlan& plan, std::size_t ran, const CAdapterRecord* records,
                                       std::size_t count) {
  CAddedAddressCheck pending;
  for (std::size_t i = 0; i < ran && i < plan.m_changes.size(); ++i) {
    const CChange& change = plan.m_changes[i];
    if (change.m_kind != ChangeKind::AddAddress) continue;
    const std::string what = change.m_strAddress + " on " + change.m_strInterface;
    const CAdapterRecord* record = std::find_if(records, records + count, [&](const CAdapterRecord& r) {
      return r.m_strFriendlyName == change.m_strInterface;
    });
    const CAddressRecord* address = nullptr;
    if (record != records + count) {
      const auto found =
          std::find_if(record->m_addresses.begin(), record->m_addresses.end(),
                       [&](const CAddressRecord& a) { return IsSameAddress(a.m_strAddress, change.m_strAddress); });
      if (found != record->m_addresses.end()) address = &*found;
    }
    if (address != nullptr && address->m_strState == GetAddressTypeName(ADDRSTATE_DUPLICATE))
      return {AddedAddressState::Duplicate,
              EscapeControlText(what + " is a duplicate: another node on the link holds that address.")};
    if (!pending.m_strText.empty()) continue;
    if (address == nullptr)
      pending.m_strText = EscapeControlText(what + " is not among the adapter's addresses");
    else if (address->m_strState == GetAddressTypeName(ADDRSTATE_TENTATIVE))
      pending.m_strText = EscapeControlText(what + " is still tentative");
  }
  if (pending.m_strText.empty()) pending.m_state = AddedAddressState::Settled;
  return pending;
}

}  // namespace vantoric
