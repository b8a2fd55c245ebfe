// An adapter's IPv6 neighbor cache as the Neighbors page lists it: the
// states and their words, the rows of one adapter, and the lines that
// remove one entry or every entry. Portable; the cache is read in
// neighbors_win32.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantoric {

// The state of a neighbor: portable copies of the system's
// NL_NEIGHBOR_STATE values.
constexpr int NEIGHBOR_STATE_UNREACHABLE = 0;
constexpr int NEIGHBOR_STATE_INCOMPLETE = 1;
constexpr int NEIGHBOR_STATE_PROBE = 2;
constexpr int NEIGHBOR_STATE_DELAY = 3;
constexpr int NEIGHBOR_STATE_STALE = 4;
constexpr int NEIGHBOR_STATE_REACHABLE = 5;
constexpr int NEIGHBOR_STATE_PERMANENT = 6;

// The longest link-layer address a neighbor entry holds, in bytes.
constexpr std::uint32_t MAX_LINK_LAYER_LENGTH = 32;

// One entry of the neighbor cache as the platform read it.
struct CNeighborData {
  std::uint64_t m_nInterface = 0;  // the interface it was learnt on (its LUID)
  std::string m_strAddress;        // numeric text
  std::vector<std::uint8_t> m_linkLayer;
  int m_nState = NEIGHBOR_STATE_INCOMPLETE;
  bool m_bRouter = false;
};

// One row of the Neighbors page.
struct CNeighborRecord {
  std::string m_strAddress;
  std::string m_strLinkLayer;  // as the main window writes a MAC; empty without one
  std::string m_strState;      // DescribeNeighborState
  bool m_bRouter = false;
};

// "Unreachable", "Incomplete", "Probe", "Delay", "Stale", "Reachable",
// "Permanent", or "State <n>".
std::string DescribeNeighborState(int state);

// The rows of the entries learnt on `interfaceId`, in the table's order.
std::vector<CNeighborRecord> MakeNeighborRecords(const std::vector<CNeighborData>& neighbors,
                                                 std::uint64_t interfaceId);

// The four cells of a row: address, link-layer address ("N/A" without one),
// state, router ("Yes" or "No").
std::vector<std::string> NeighborRowTexts(const CNeighborRecord& record);

// interface ipv6 delete neighbors "<name>" [<address>]: one entry, or the
// adapter's whole cache when address is empty.
std::string FormatDeleteNeighborsCommand(std::string_view interfaceName, std::string_view address);
// Remove-NetNeighbor -InterfaceAlias <quotedName> [-IPAddress <address>]
// -AddressFamily IPv6 -Confirm:$false; quotedName is already quoted for
// Remove-NetNeighbor (QuotePowerShellAlias).
std::string FormatRemoveNeighborPowerShell(std::string_view quotedName, std::string_view address);

// The question before Flush and why a removal cannot be undone.
std::string FormatFlushQuestion(std::string_view interfaceName);
inline constexpr std::string_view NEIGHBOR_NO_UNDO =
    "A removed neighbor entry cannot be put back: the system learns it again from the link by itself when it is "
    "needed, so Undo skips this entry.";

}  // namespace vantoric
