// The reading that `vantoric /list` hands to scripts: the adapters in the
// window's order with their addresses (as the list shows them, and their
// lifetimes in seconds), DNS servers and routes, as JSON. Portable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/adapter_records.h"
#include "core/interface_settings.h"
#include "core/neighbors.h"
#include "core/route_records.h"
#include "core/system_settings.h"

namespace vantoric {

// The version of the JSON layout; a change that breaks readers raises it.
constexpr int ADAPTER_LISTING_FORMAT = 1;

// The JSON text (UTF-8, a line end at the end) of `count` records read at
// `readAtUtc` (ISO 8601, for example "2026-12-07T16:40:00Z"):
// {"format": 1, "read_at": ..., "adapters": [{"friendly_name", "description",
// "mac" (null without one), "addresses": [{"address", "kind", "state",
// "valid_lifetime", "preferred_lifetime", "valid_seconds",
// "preferred_seconds" (null for infinite)}], "dns_servers": [...],
// "routes": [{"destination", "next_hop" (null for on-link), "metric",
// "valid_lifetime", "preferred_lifetime", "valid_seconds",
// "preferred_seconds" (null for infinite), "origin"}]}]}. `pRoutes` holds
// the route rows of each record, in record order; without it (the route
// table could not be read) "routes" is null, as it is for a record whose
// entry holds none and for a record beyond its end. With `pSystem`, a
// "system" object follows the adapters (system_listing.h). Text that is not
// valid UTF-8 has its bad bytes replaced by U+FFFD.
using CListedRoutes = std::optional<std::vector<CRouteRecord>>;
// One adapter's interface settings and neighbor cache, where they were read.
struct CAdapterLinkFacts {
  bool m_bSettingsRead = false;
  CInterfaceSettings m_settings;
  bool m_bNeighborsRead = false;
  std::vector<CNeighborRecord> m_neighbors;
};

// pLinks, in record order, adds after "routes" an "interface" object
// ({"mtu", "largest_mtu" (null when not known), "automatic_metric",
// "metric", "forwarding", "advertising", "router_discovery" ("enabled",
// "disabled", "dhcp"), "managed_address_configuration",
// "other_stateful_configuration", "dad_transmits", "base_reachable_time_ms",
// "reachable_time_ms"}) and a "neighbors" array ({"address",
// "link_layer_address" (null without one), "state", "router"}); each is
// null where it was not read, and for a record beyond the end.
std::string FormatAdapterListing(const CAdapterRecord* records, std::size_t count, std::string_view readAtUtc,
                                 const std::vector<CListedRoutes>* pRoutes = nullptr,
                                 const CSystemState* pSystem = nullptr,
                                 const std::vector<CAdapterLinkFacts>* pLinks = nullptr);

// Each record's routes out of the route table (nullptr: not read), by the
// LUID that the reading gave the record: none for a record without one, so
// that an adapter whose identity is unknown leaves the others' routes.
std::vector<CListedRoutes> ListRoutesOfRecords(const CAdapterRecord* records, std::size_t count,
                                               const std::vector<CRouteData>* pTable);

// What the starter gave the program as a standard handle.
enum class StdHandleKind { None, Disk, Pipe, Character };
// Where the text for that handle goes: the handle's bytes (UTF-8), the
// handle as a console (UTF-16, every name shown whatever the code page), or
// the console the program was started from, if any.
enum class TextTarget { Handle, Console, ParentConsole };
// A character device that is no console (NUL, a serial port) takes the
// bytes like a file: `vantoric /list >nul` prints nothing.
TextTarget ChooseTextTarget(StdHandleKind kind, bool bConsole);

// What a command line asks of the program besides its window.
enum class ProgramCommand {
  Window,  // no /list and no /?: the window, as always
  List,    // /list [FILE]
  Usage,   // /?
  BadList,  // /list with more than one file name or an unknown switch after it
  Apply,    // /apply FILE [/whatif] [/powershell] [/json] [/force] (apply_report.h)
  BadApply,  // /apply without one file name, or with an unknown switch
  Diagnose,    // /diagnose [ADAPTER] [/target HOST] [/json] (diagnosis_report.h)
  BadDiagnose  // /diagnose with more than one adapter, an unknown switch or /target without a host
};

struct CProgramCommand {
  ProgramCommand m_command = ProgramCommand::Window;
  std::string m_strFile;    // List: the file to write, empty for standard output; Apply: the file to read
  std::string m_strReason;  // BadList, BadApply: what is wrong, for standard error
  // Apply: the switches given.
  bool m_bWhatIf = false;
  bool m_bPowerShell = false;
  bool m_bJson = false;
  bool m_bForce = false;
  // Diagnose: the adapter (empty: the one /diagnose chooses) and the target
  // (empty: the default); m_bJson as for Apply.
  std::string m_strAdapter;
  std::string m_strTarget;
};

// Reads the arguments (without the program's name). Switches begin with
// "/" or "-" and are matched in any letter case.
CProgramCommand ParseProgramCommand(const std::vector<std::string>& args);

// The text that /? prints.
std::string ProgramUsage();

}  // namespace vantoric
