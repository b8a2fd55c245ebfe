// The main window's decisions before a command runs: which kinds Remove
// accepts, the edit gate, and the chooser entry kept across a snapshot.
#include "app/address_command_rules.h"

#include <gtest/gtest.h>

namespace vantoric {
namespace {

TEST(RemoveRule, OnlyManualAndTemporaryAddressesAreRemovable) {
  const struct {
    const char* kind;
    bool removable;
  } cases[] = {
      {"Manual", true},      {"Temporary", true},  {"Public", false},   {"Link-Local", false},
      {"Site-Local", false}, {"Loopback", false},  {"", false},         {"manual", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsRemovableKind(c.kind), c.removable) << "kind \"" << c.kind << "\"";
}

TEST(EditGate, KindBeforeTextThenTextThenSelection) {
  const std::string notSelected = "You have not selected and item. Select one first.";
  const struct {
    const char* reason;
    const char* kind;
    const char* address;
    bool inRecord, selected;
    bool open;
    std::string message;
    bool clear;
  } cases[] = {
      {"temporary refused by kind even with a link-local text", "Temporary", "fe80::1", true, true, false,
       "You have selected a TEMPORARY ADDRESS. Address cannot be edited.", true},
      {"public refused by kind", "Public", "2001:db8::1", true, true, false,
       "You have selected a PUBLIC ADDRESS. Address cannot be edited.", true},
      {"fe8 to feb is link-local", "Manual", "feb0::1", true, true, false,
       "You have selected a LINK-LOCAL ADDRESS. Address cannot be edited.", true},
      {"fec to fef is site-local", "Manual", "fef0::1", true, true, false,
       "You have selected a SITE-LOCAL ADDRESS. Address cannot be edited.", true},
      {"text beginning :: is loopback", "Loopback", "::1", true, true, false,
       "You have selected a LOOPBACK ADDRESS. Address cannot be edited.", true},
      {"fe7f is global", "Manual", "fe7f::1", true, true, true, "", false},
      {"empty text is no selection", "", "", false, true, false, notSelected, true},
      {"an address the record no longer holds is no selection", "", "2001:db8::9", false, true, false,
       notSelected, true},
      {"a global address without selection keeps the state", "Manual", "2001:db8::1", true, false, false,
       notSelected, false},
      {"a selected manual global address opens the dialog", "Manual", "2001:db8::1", true, true, true, "", false},
  };
  for (const auto& c : cases) {
    const CEditGate gate = CheckEditGate(c.kind, c.address, c.inRecord, c.selected);
    EXPECT_EQ(gate.m_bOpen, c.open) << c.reason;
    EXPECT_EQ(gate.m_strMessage, c.message) << c.reason;
    EXPECT_EQ(gate.m_bClearSelection, c.clear && !c.open) << c.reason;
  }
}

TEST(Snapshot, TheChooserKeepsTheAdapterOfTheSameName) {
  const std::vector<std::string> names = {"Ethernet", "VPN", "Wi-Fi"};
  EXPECT_EQ(FindAdapterEntry(names, "Wi-Fi"), 2) << "moved to another position";
  EXPECT_EQ(FindAdapterEntry(names, "Tunnel"), 0) << "gone: the first entry";
  EXPECT_EQ(FindAdapterEntry({}, "Wi-Fi"), 0) << "no adapter at all";
}

TEST(Selection, TheAddressIsFoundByItsWholeText) {
  CAdapterRecord record;
  record.m_addresses.resize(2);
  record.m_addresses[0].m_strAddress = "2001:db8::1";
  record.m_addresses[1].m_strAddress = "2001:db8::10";
  EXPECT_EQ(FindAddressIndex(record, "2001:db8::10"), 1);
  EXPECT_EQ(FindAddressIndex(record, "2001:db8::"), -1) << "a prefix of a text is no match";
  EXPECT_EQ(FindAddressIndex(CAdapterRecord(), "2001:db8::1"), -1) << "a record without addresses";
}

}  // namespace
}  // namespace vantoric
