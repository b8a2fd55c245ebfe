// The Neighbors page's rules: the state words, an adapter's rows and their
// cells, and the remove and flush lines with their PowerShell lines.
#include "core/neighbors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/command_history.h"
#include "core/interface_history.h"

namespace vantoric {
namespace {

TEST(DescribeNeighborState, EveryStateAndAnUnknownOne) {
  const struct {
    int state;
    const char* text;
  } cases[] = {
      {NEIGHBOR_STATE_UNREACHABLE, "Unreachable"}, {NEIGHBOR_STATE_INCOMPLETE, "Incomplete"},
      {NEIGHBOR_STATE_PROBE, "Probe"},             {NEIGHBOR_STATE_DELAY, "Delay"},
      {NEIGHBOR_STATE_STALE, "Stale"},             {NEIGHBOR_STATE_REACHABLE, "Reachable"},
      {NEIGHBOR_STATE_PERMANENT, "Permanent"},     {7, "State 7"},
      {-1, "State -1"},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeNeighborState(c.state), c.text) << "state " << c.state;
}

std::string Cells(const std::vector<CNeighborRecord>& records) {
  std::string text;
  for (const CNeighborRecord& record : records) {
    for (const std::string& cell : NeighborRowTexts(record)) text += cell + "|";
    text += ";";
  }
  return text;
}

TEST(MakeNeighborRecords, TheAdaptersEntriesWithTheirCells) {
  const std::vector<std::uint8_t> mac{0x00, 0x0c, 0x29, 0xab, 0xcd, 0xef};
  const struct {
    const char* reason;
    std::vector<CNeighborData> table;
    const char* cells;
  } cases[] = {
      {"no entries", {}, ""},
      {"a router with its MAC written as the main window writes one",
       {{7, "fe80::1", mac, NEIGHBOR_STATE_REACHABLE, true}}, "fe80::1|00-0C-29-AB-CD-EF|Reachable|Yes|;"},
      {"an entry still being resolved has no link-layer address",
       {{7, "2001:db8::5", {}, NEIGHBOR_STATE_INCOMPLETE, false}}, "2001:db8::5|N/A|Incomplete|No|;"},
      {"another adapter's entries are left out, the table's order kept",
       {{9, "fe80::9", mac, NEIGHBOR_STATE_STALE, false},
        {7, "ff02::1", {0x33, 0x33, 0, 0, 0, 1}, NEIGHBOR_STATE_PERMANENT, false},
        {7, "fe80::2", mac, NEIGHBOR_STATE_STALE, false}},
       "ff02::1|33-33-00-00-00-01|Permanent|No|;fe80::2|00-0C-29-AB-CD-EF|Stale|No|;"},
      {"a link-layer address longer than an entry holds is cut at 32 bytes",
       {{7, "fe80::3", std::vector<std::uint8_t>(40, 0xff), NEIGHBOR_STATE_PROBE, false}},
       "fe80::3|FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF-FF|"
       "Probe|No|;"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cells(MakeNeighborRecords(c.table, 7)), c.cells) << c.reason;
}

TEST(FormatDeleteNeighborsCommand, RemoveOneOrFlushAllWithThePowerShellLine) {
  const struct {
    const char* reason;
    const char* address;
    const char* netsh;
    const char* powershell;
  } cases[] = {
      {"one entry", "fe80::1", "interface ipv6 delete neighbors \"Wi-Fi 2\" fe80::1",
       "Remove-NetNeighbor -InterfaceAlias 'Wi-Fi 2' -IPAddress fe80::1 -AddressFamily IPv6 -Confirm:$false"},
      {"every entry (Flush)", "", "interface ipv6 delete neighbors \"Wi-Fi 2\"",
       "Remove-NetNeighbor -InterfaceAlias 'Wi-Fi 2' -AddressFamily IPv6 -Confirm:$false"},
  };
  for (const auto& c : cases) {
    CChange change;
    change.m_kind = ChangeKind::DeleteNeighbors;
    change.m_strInterface = "Wi-Fi 2";
    change.m_strAddress = c.address;
    EXPECT_EQ(FormatChangeCommand(change), c.netsh) << c.reason;
    EXPECT_EQ(FormatPowerShellCommand(change), c.powershell) << c.reason;
    EXPECT_EQ(DescribeNoUndo(change), "Undo: " + std::string(NEIGHBOR_NO_UNDO)) << c.reason;
  }
}

}  // namespace
}  // namespace vantoric
