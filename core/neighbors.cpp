#include "core/neighbors.h"

#include <algorithm>

#include "core/adapter_records.h"

namespace vantoric {

std::string DescribeNeighborState(int state) {
  static const char* const kWords[] = {"Unreachable", "Incomplete", "Probe",    "Delay",
                                       "Stale",       "Reachable",  "Permanent"};
  if (state >= NEIGHBOR_STATE_UNREACHABLE && state <= NEIGHBOR_STATE_PERMANENT) return kWords[state];
  return "State " + std::to_string(state);
}

std::vector<CNeighborRecord> MakeNeighborRecords(const std::vector<CNeighborData>& neighbors,
                                                 std::uint64_t interfaceId) {
  std::vector<CNeighborRecord> records;
  for (const CNeighborData& neighbor : neighbors) {
    if (neighbor.m_nInterface != interfaceId) continue;
    CNeighborRecord record;
    record.m_strAddress = neighbor.m_strAddress;
    record.m_strLinkLayer = FormatMacText(neighbor.m_linkLayer.data(),
                                          std::min<std::size_t>(neighbor.m_linkLayer.size(), MAX_LINK_LAYER_LENGTH));
    record.m_strState = DescribeNeighborState(neighbor.m_nState);
    record.m_bRouter = neighbor.m_bRouter;
    records.push_back(std::move(record));
  }
  return records;
}

std::vector<std::string> NeighborRowTexts(const CNeighborRecord& record) {
  return {record.m_strAddress, record.m_strLinkLayer.empty() ? "N/A" : record.m_strLinkLayer, record.m_strState,
          record.m_bRouter ? "Yes" : "No"};
}

std::string FormatDeleteNeighborsCommand(std::string_view interfaceName, std::string_view address) {
  std::string line = "interface ipv6 delete neighbors \"" + std::string(interfaceName) + "\"";
  return address.empty() ? line : line + " " + std::string(address);
}

std::string FormatRemoveNeighborPowerShell(std::string_view quotedName, std::string_view address) {
  return "Remove-NetNeighbor -InterfaceAlias " + std::string(quotedName) +
         (address.empty() ? "" : " -IPAddress " + std::string(address)) + " -AddressFamily IPv6 -Confirm:$false";
}

std::string FormatFlushQuestion(std::string_view interfaceName) {
  return "Flush removes every entry of the IPv6 neighbor cache of " + std::string(interfaceName) +
         ". Nothing is lost: the system learns the entries again from the link as it needs them, which may "
         "delay the first packets to each neighbor a little.\n\nFlush the neighbor cache?";
}

}  // namespace vantoric
