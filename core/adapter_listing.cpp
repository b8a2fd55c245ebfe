#include "core/adapter_listing.h"

#include <nlohmann/json.hpp>

#include "core/apply_report.h"
#include "core/diagnosis_report.h"
#include "core/lifetime_text.h"
#include "core/system_listing.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

using Json = nlohmann::ordered_json;

Json Seconds(std::uint32_t seconds) { return seconds == INFINITE_LIFETIME ? Json(nullptr) : Json(seconds); }

Json Address(const CAddressRecord& address) {
  return Json{{"address", address.m_strAddress},
              {"kind", address.m_strKind},
              {"state", address.m_strState},
              {"valid_lifetime", address.m_strValidLifetime},
              {"preferred_lifetime", address.m_strPreferredLifetime},
              {"valid_seconds", Seconds(address.m_nValidSeconds)},
              {"preferred_seconds", Seconds(address.m_nPreferredSeconds)}};
}

Json Route(const CRouteRecord& route) {
  return Json{{"destination", route.m_strDestination},
              {"next_hop", route.m_strNextHopAddress.empty() ? Json(nullptr) : Json(route.m_strNextHopAddress)},
              {"metric", route.m_nMetric},
              {"valid_lifetime", route.m_strValidLifetime},
              {"preferred_lifetime", route.m_strPreferredLifetime},
              {"valid_seconds", Seconds(route.m_nValidSeconds)},
              {"preferred_seconds", Seconds(route.m_nPreferredSeconds)},
              {"origin", route.m_strOrigin}};
}

// null where the routes were not read.
Json Routes(const CListedRoutes* pRoutes) {
  if (pRoutes == nullptr || !pRoutes->has_value()) return nullptr;
  Json routes = Json::array();
  for (const CRouteRecord& route : **pRoutes) routes.push_back(Route(route));
  return routes;
}

Json Interface(const CAdapterLinkFacts* pLink) {
  if (pLink == nullptr || !pLink->m_bSettingsRead) return nullptr;
  const CInterfaceSettings& s = pLink->m_settings;
  return Json{{"mtu", s.m_nMtu},
              {"largest_mtu", s.m_nLargestMtu == 0 ? Json(nullptr) : Json(s.m_nLargestMtu)},
              {"automatic_metric", s.m_bAutomaticMetric},
              {"metric", s.m_nMetric},
              {"forwarding", s.m_bForwarding},
              {"advertising", s.m_bAdvertising},
              {"router_discovery", MakeInterfaceInput(s)[static_cast<std::size_t>(InterfaceField::RouterDiscovery)]},
              {"managed_address_configuration", s.m_bManaged},
              {"other_stateful_configuration", s.m_bOtherStateful},
              {"dad_transmits", s.m_nDadTransmits},
              {"base_reachable_time_ms", s.m_nBaseReachableMs},
              {"reachable_time_ms", s.m_nReachableMs}};
}

Json Neighbors(const CAdapterLinkFacts* pLink) {
  if (pLink == nullptr || !pLink->m_bNeighborsRead) return nullptr;
  Json neighbors = Json::array();
  for (const CNeighborRecord& n : pLink->m_neighbors)
    neighbors.push_back(Json{{"address", n.m_strAddress},
                             {"link_layer_address", n.m_strLinkLayer.empty() ? Json(nullptr) : Json(n.m_strLinkLayer)},
                             {"state", n.m_strState},
                             {"router", n.m_bRouter}});
  return neighbors;
}

Json Adapter(const CAdapterRecord& record, const CListedRoutes* pRoutes, const CAdapterLinkFacts* pLink) {
  Json addresses = Json::array();
  for (const CAddressRecord& address : record.m_addresses) addresses.push_back(Address(address));
  const std::string mac = record.GetMacText();
  return Json{{"friendly_name", record.m_strFriendlyName},
              {"description", record.m_strDescription},
              {"mac", mac.empty() ? Json(nullptr) : Json(mac)},
              {"addresses", std::move(addresses)},
              {"dns_servers", record.m_dnsServers},
              {"routes", Routes(pRoutes)},
              {"interface", Interface(pLink)},
              {"neighbors", Neighbors(pLink)}};
}

bool IsSwitch(const std::string& arg) { return !arg.empty() && (arg[0] == '/' || arg[0] == '-'); }

}  // namespace

std::string FormatAdapterListing(const CAdapterRecord* records, std::size_t count, std::string_view readAtUtc,
                                 const std::vector<CListedRoutes>* pRoutes, const CSystemState* pSystem,
                                 const std::vector<CAdapterLinkFacts>* pLinks) {
  Json adapters = Json::array();
  for (std::size_t i = 0; i < count; ++i)
    adapters.push_back(Adapter(records[i], pRoutes != nullptr && i < pRoutes->size() ? &(*pRoutes)[i] : nullptr,
                               pLinks != nullptr && i < pLinks->size() ? &(*pLinks)[i] : nullptr));
  Json listing{{"format", ADAPTER_LISTING_FORMAT}, {"read_at", readAtUtc}, {"adapters", std::move(adapters)}};
  if (pSystem != nullptr) listing["system"] = FormatSystemListing(*pSystem);
  return listing.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::vector<CListedRoutes> ListRoutesOfRecords(const CAdapterRecord* records, std::size_t count,
                                               const std::vector<CRouteData>* pTable) {
  std::vector<CListedRoutes> routes(count);
  for (std::size_t i = 0; pTable != nullptr && i < count; ++i)
    if (records[i].m_nLuid != 0) routes[i] = MakeRouteRecords(*pTable, records[i].m_nLuid);
  return routes;
}

TextTarget ChooseTextTarget(StdHandleKind kind, bool bConsole) {
  switch (kind) {
    case StdHandleKind::Disk:
    case StdHandleKind::Pipe:
      return TextTarget::Handle;
    case StdHandleKind::Character:
      return bConsole ? TextTarget::Console : TextTarget::Handle;
    case StdHandleKind::None:
      break;
  }
  return TextTarget::ParentConsole;
}

CProgramCommand ParseProgramCommand(const std::vector<std::string>& args) {
  CProgramCommand command;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string name = IsSwitch(args[i]) ? LowerAscii(std::string_view(args[i]).substr(1)) : std::string();
    if (name == "?") {
      command.m_command = ProgramCommand::Usage;
      return command;
    }
    if (name == "apply") return ParseApplyCommand(args, i + 1);
    if (name == "diagnose") return ParseDiagnoseCommand(args, i + 1);
    if (name != "list") continue;
    command.m_command = ProgramCommand::List;
    for (size_t j = i + 1; j < args.size(); ++j) {
      if (IsSwitch(args[j])) {
        command.m_command = ProgramCommand::BadList;
        command.m_strReason = "Unknown switch after /list: " + args[j];
      } else if (!command.m_strFile.empty()) {
        command.m_command = ProgramCommand::BadList;
        command.m_strReason = "More than one file name after /list: " + args[j];
      } else {
        command.m_strFile = args[j];
      }
      if (command.m_command == ProgramCommand::BadList) return command;
    }
    return command;
  }
  return command;
}

std::string ProgramUsage() {
  return "Usage: vantoric [/list [FILE]] [/apply FILE [/whatif] [/powershell] [/json] [/force]]\n"
         "                [/diagnose [ADAPTER] [/target HOST] [/json]] [/?]\n"
         "\n"
         "  (no switch)  opens the window.\n"
         "  /list        writes the network adapters, their IPv6 addresses, DNS servers, routes,\n"
         "               interface settings and neighbors, and the system-wide IPv6 settings, as JSON\n"
         "               to standard output; nothing is changed and no window opens.\n"
         "  /list FILE   writes the same to FILE (UTF-8), replacing it whole.\n"
         "  /apply FILE  makes the adapters that FILE (the /list layout) names match it: the sections\n"
         "               it holds become their manual addresses, DNS servers and routes.\n"
         "    /whatif      prints the plan and changes nothing.\n"
         "    /powershell  prints the plan as PowerShell lines (with /whatif).\n"
         "    /json        prints the plan, or what was run, as JSON.\n"
         "    /force       makes the changes despite warnings.\n"
         "  /diagnose    checks why IPv6 does or does not work on ADAPTER (by default the one with\n"
         "               the default route) and prints the checks and the conclusion; it only reads\n"
         "               and probes, and changes nothing.\n"
         "    /target HOST  the host or IPv6 address to reach (ipv6.msftconnecttest.com by default).\n"
         "    /json         prints the report as JSON.\n"
         "  /?           shows this text.\n"
         "\n"
         "Exit codes of /list: 0 done, 1 the adapters could not be read, 2 a wrong /list command line or\n"
         "a file that cannot be written.\n"
         "Exit codes of /apply: 0 nothing to do or all done, 1 a command failed, administrator rights are\n"
         "missing or a warning stopped it, 2 a wrong command line, a bad file or a refused change,\n"
         "3 /whatif found changes to make.\n"
         "Exit codes of /diagnose: 0 IPv6 works, 1 a problem was found, 2 a wrong command line or an\n"
         "unknown adapter.\n"
         "\n"
         "From PowerShell: vantoric /list | Out-String | ConvertFrom-Json\n";
}

}  // namespace vantoric
