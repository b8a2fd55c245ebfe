// The router-advertised address and the EUI-64 and random identifiers.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "core/adapter_records.h"
#include "core/interface_identifiers.h"

namespace vantoric {
namespace {

CAdapterRecord WithMac(const std::vector<std::uint8_t>& bytes) {
  CAdapterRecord record;
  std::copy(bytes.begin(), bytes.end(), record.m_macAddress);
  record.m_macLength = static_cast<std::uint32_t>(bytes.size());
  return record;
}

TEST(MakeEui64Identifier, ExamplesAndOddLengths) {
  struct Case {
    std::vector<std::uint8_t> mac;
    const char* identifier;
  };
  const Case cases[] = {
      {{0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}, "0000:0000:0000:0000:020c:29ff:feab:cdef"},
      {{0x02, 0x00, 0x00, 0x00, 0x00, 0x01}, "0000:0000:0000:0000:0000:00ff:fe00:0001"},
      {{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}, "0000:0000:0000:0000:081b:2cff:fe3d:4e5f"},
      {{0x04, 0x00, 0x00, 0x00, 0x00, 0x00}, "0000:0000:0000:0000:0600:00ff:fe00:0000"},
      {{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "0000:0000:0000:0000:fcff:ffff:feff:ffff"},
      {{0x0F, 0x00, 0x00, 0x00, 0x00, 0x00}, "0000:0000:0000:0000:0d00:00ff:fe00:0000"},
      {{0x09, 0x00, 0x00, 0x00, 0x00, 0x00}, "0000:0000:0000:0000:0b00:00ff:fe00:0000"},
      {{0x08, 0x00, 0x00, 0x00, 0x00, 0x00}, "0000:0000:0000:0000:0a00:00ff:fe00:0000"},
      {{}, "0000:0000:0000:0000:fffe"},
      {{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}, "0000:0000:0000:0000:0211:22ff:fe33:4455:6677"},
      {{0x0A}, "0000:0000:0000:0000:08ff:fe"},
      {{0x0A, 0x1B, 0x2C}, "0000:0000:0000:0000:081b:2cff:fe"},  // FFFE once, after the third byte
  };
  for (const Case& c : cases) {
    const CAdapterRecord record = WithMac(c.mac);
    EXPECT_EQ(record.MakeEui64Identifier(), c.identifier) << record.GetMacTextOrNA();
  }
}

TEST(MakeEui64Identifier, EightByteAddressGivesTwentyDigitsInFiveGroups) {
  const std::string id = WithMac({1, 2, 3, 4, 5, 6, 7, 8}).MakeEui64Identifier();
  EXPECT_TRUE(std::regex_match(id, std::regex("0000:0000:0000:0000:([0-9a-f]{4}:){4}[0-9a-f]{4}"))) << id;
}

TEST(GroupInBlocksOfFour, ColonBeforeEachNewBlock) {
  EXPECT_EQ(GroupInBlocksOfFour(""), "");
  EXPECT_EQ(GroupInBlocksOfFour("abc"), "abc");
  EXPECT_EQ(GroupInBlocksOfFour("abcd"), "abcd");
  EXPECT_EQ(GroupInBlocksOfFour("abcde"), "abcd:e");
  EXPECT_EQ(GroupInBlocksOfFour("000c29fffeabcdef"), "000c:29ff:feab:cdef");
}

TEST(MakeIdentifierFromGuid, FirstThreeFieldsInLowerCase) {
  struct Case {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    const char* identifier;
  };
  const Case cases[] = {
      {0x12345678, 0x9ABC, 0xDEF0, "0000:0000:0000:0000:1234:5678:9abc:def0"},
      {0x1, 0x2, 0x3, "0000:0000:0000:0000:0000:0001:0002:0003"},
      {0xFFFFFFFF, 0xFFFF, 0xFFFF, "0000:0000:0000:0000:ffff:ffff:ffff:ffff"},
      {0, 0, 0, "0000:0000:0000:0000:0000:0000:0000:0000"},
  };
  for (const Case& c : cases) {
    CGuid guid;
    guid.m_nData1 = c.data1;
    guid.m_nData2 = c.data2;
    guid.m_nData3 = c.data3;
    guid.m_data4[0] = 0xAA;  // not used
    EXPECT_EQ(MakeIdentifierFromGuid(guid), c.identifier);
  }
}

TEST(ChooseIdentifierFormat, OnlyAFormatOfTheThreeFieldsIsUsed) {
  const struct {
    const char* loaded;
    const char* chosen;
    const char* why;
  } cases[] = {
      {"%08lX%04X%04X", "%08lX%04X%04X", "the resource's text"},
      {"%08lx%04x%04x", "%08lx%04x%04x", "lower-case digits give the same identifier"},
      {"", "%08lX%04X%04X", "a missing resource"},
      {"%08X%04X%04X", "%08lX%04X%04X", "Data1 read as an int: too short, refused"},
      {"%08lX%04X%04s", "%08lX%04X%04X", "a conversion that would read past the fields"},
      {"%08lX%04X%04X%n", "%08lX%04X%04X", "anything beyond the three fields"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseIdentifierFormat(c.loaded), c.chosen) << c.why;
}

TEST(MakeRandomIdentifier, SixteenFreshDigitsFromTheNewGuid) {
  CAdapterRecord record;
  const CGuid before = record.m_guid;
  const std::string first = record.MakeRandomIdentifier();
  EXPECT_FALSE(record.m_guid == before);
  EXPECT_EQ(first, MakeIdentifierFromGuid(record.m_guid));
  const std::string second = record.MakeRandomIdentifier();
  EXPECT_NE(first, second);
  const std::regex form("0000:0000:0000:0000:[0-9a-f]{4}:[0-9a-f]{4}:[0-9a-f]{4}:[0-9a-f]{4}");
  EXPECT_TRUE(std::regex_match(first, form)) << first;
  EXPECT_TRUE(std::regex_match(second, form)) << second;
}

CAddressRecord Address(const std::string& text, const std::string& kind, const std::string& state) {
  CAddressRecord a;
  a.m_strAddress = text;
  a.m_strKind = kind;
  a.m_strState = state;
  return a;
}

TEST(FindRouterAdvertisedAddress, LastPreferredPublicGlobalAddress) {
  struct Case {
    const char* name;
    std::vector<CAddressRecord> addresses;
    int found;
    const char* out;
  };
  const Case cases[] = {
      {"none", {}, 0, "0000:0000:0000:0000:0000:0000:0000:0000"},
      {"one", {Address("2001:db8::1", "Public", "Preferred")}, 1, "2001:db8::1"},
      {"the later of two",
       {Address("2001:db8::1", "Public", "Preferred"), Address("fe80::1%4", "Link-Local", "Preferred"),
        Address("2001:db8:1::2", "Public", "Preferred"), Address("2001:db8::9", "Temporary", "Preferred")},
       1, "2001:db8:1::2"},
      {"temporary only", {Address("2001:db8::1", "Temporary", "Preferred")}, 0,
       "0000:0000:0000:0000:0000:0000:0000:0000"},
      {"not preferred",
       {Address("2001:db8::1", "Public", "Deprecated"), Address("2001:db8::2", "Public", "Tentative")}, 0,
       "0000:0000:0000:0000:0000:0000:0000:0000"},
      {"link-local, site-local and :: texts",
       {Address("fe80::1", "Public", "Preferred"), Address("fec0::1", "Public", "Preferred"),
        Address("::ffff:1.2.3.4", "Public", "Preferred"), Address("", "Public", "Preferred")},
       0, "0000:0000:0000:0000:0000:0000:0000:0000"},
      {"case matters", {Address("2001:db8::1", "public", "preferred")}, 0,
       "0000:0000:0000:0000:0000:0000:0000:0000"},
  };
  for (const Case& c : cases) {
    CAdapterRecord record;
    record.m_addresses = c.addresses;
    std::string out = "stale";
    EXPECT_EQ(record.FindRouterAdvertisedAddress(out), c.found) << c.name;
    EXPECT_EQ(out, c.out) << c.name;
  }
}

}  // namespace
}  // namespace vantoric
