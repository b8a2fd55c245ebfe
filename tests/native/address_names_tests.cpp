// Kind and state words, their codes, the origin table and the text classes.
#include <gtest/gtest.h>

#include "core/address_names.h"

namespace vantoric {
namespace {

TEST(GetAddressTypeName, EveryCodeAndItsNeighbours) {
  struct Case {
    int code;
    const char* text;
  };
  const Case cases[] = {
      {ADDRTYPE_MANUAL, "Manual"},         {ADDRTYPE_PUBLIC, "Public"},         {ADDRTYPE_TEMPORARY, "Temporary"},
      {ADDRTYPE_LINK_LOCAL, "Link-Local"}, {ADDRTYPE_LOOPBACK, "Loopback"},     {ADDRTYPE_SITE_LOCAL, "Site-Local"},
      {ADDRSTATE_INVALID, "Invalid"},      {ADDRSTATE_TENTATIVE, "Tentative"},  {ADDRSTATE_DUPLICATE, "Duplicate"},
      {ADDRSTATE_DEPRECATED, "Deprecated"}, {ADDRSTATE_PREFERRED, "Preferred"}, {99, "Error"},
      {106, "Error"}, {107, "Error"}, {109, "Error"}, {115, "Error"}, {0, "Error"}, {-100, "Error"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetAddressTypeName(c.code), c.text) << "code " << c.code;
  EXPECT_EQ(ADDRTYPE_MANUAL, 100);
  EXPECT_EQ(ADDRTYPE_SITE_LOCAL, 105);
  EXPECT_EQ(ADDRSTATE_INVALID, 110);
  EXPECT_EQ(ADDRSTATE_PREFERRED, 114);
}

TEST(ClassifyAddressText, FirstThreeCharactersDecide) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"fe80::1", ADDRCLASS_LINK_LOCAL}, {"fe9f::1", ADDRCLASS_LINK_LOCAL}, {"feab::1", ADDRCLASS_LINK_LOCAL},
      {"febf::1", ADDRCLASS_LINK_LOCAL}, {"fec0::1", ADDRCLASS_SITE_LOCAL}, {"fed0::1", ADDRCLASS_SITE_LOCAL},
      {"fee0::1", ADDRCLASS_SITE_LOCAL}, {"feff::1", ADDRCLASS_SITE_LOCAL}, {"fe7f::1", ADDRCLASS_GLOBAL},
      {"fe00::1", ADDRCLASS_GLOBAL},     {"fe8", ADDRCLASS_LINK_LOCAL},     {"fe", ADDRCLASS_GLOBAL},
      {"FE80::1", ADDRCLASS_GLOBAL},     {"Fe80::1", ADDRCLASS_GLOBAL},     {"FEC0::1", ADDRCLASS_GLOBAL},
      {"::1", ADDRCLASS_LOOPBACK},       {"::", ADDRCLASS_LOOPBACK},        {"::ffff:1.2.3.4", ADDRCLASS_LOOPBACK},
      {":1", ADDRCLASS_GLOBAL},          {"", ADDRCLASS_GLOBAL},            {"2001:db8::1", ADDRCLASS_GLOBAL},
      {"fd00::2", ADDRCLASS_GLOBAL},     {"fe80::1%4", ADDRCLASS_LINK_LOCAL},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyAddressText(c.text), c.expected) << "\"" << c.text << "\"";
}

TEST(KindFromOrigins, TableAndEverythingElseEmpty) {
  struct Case {
    int prefix;
    int suffix;
    const char* kind;
  };
  const Case cases[] = {
      {PREFIX_ORIGIN_MANUAL, SUFFIX_ORIGIN_MANUAL, "Manual"},
      {PREFIX_ORIGIN_ROUTER_ADVERTISEMENT, SUFFIX_ORIGIN_LINK_LAYER_ADDRESS, "Public"},
      {PREFIX_ORIGIN_ROUTER_ADVERTISEMENT, SUFFIX_ORIGIN_RANDOM, "Temporary"},
      {PREFIX_ORIGIN_WELL_KNOWN, SUFFIX_ORIGIN_LINK_LAYER_ADDRESS, "Link-Local"},
      {PREFIX_ORIGIN_WELL_KNOWN, SUFFIX_ORIGIN_WELL_KNOWN, "Loopback"},
      {PREFIX_ORIGIN_DHCP, SUFFIX_ORIGIN_DHCP, ""},
      {PREFIX_ORIGIN_MANUAL, SUFFIX_ORIGIN_LINK_LAYER_ADDRESS, ""},
      {PREFIX_ORIGIN_MANUAL, SUFFIX_ORIGIN_RANDOM, ""},
      {PREFIX_ORIGIN_ROUTER_ADVERTISEMENT, SUFFIX_ORIGIN_MANUAL, ""},
      {PREFIX_ORIGIN_ROUTER_ADVERTISEMENT, SUFFIX_ORIGIN_DHCP, ""},
      {PREFIX_ORIGIN_WELL_KNOWN, SUFFIX_ORIGIN_RANDOM, ""},
      {PREFIX_ORIGIN_WELL_KNOWN, SUFFIX_ORIGIN_MANUAL, ""},
      {0, 0, ""},  // "other"
      {PREFIX_ORIGIN_ROUTER_ADVERTISEMENT, 6, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(KindFromOrigins(c.prefix, c.suffix), c.kind) << "origins " << c.prefix << "/" << c.suffix;
}

TEST(DadStateName, ZeroToFourNamedLargerEmpty) {
  const char* names[] = {"Invalid", "Tentative", "Duplicate", "Deprecated", "Preferred"};
  for (int state = 0; state < 5; ++state) EXPECT_EQ(DadStateName(state), names[state]) << "state " << state;
  EXPECT_EQ(DadStateName(5), "");
  EXPECT_EQ(DadStateName(-1), "");
  EXPECT_EQ(DadStateName(110), "");
}

TEST(KindFromAddressText, ClassToKind) {
  struct Case {
    const char* text;
    const char* kind;
  };
  const Case cases[] = {
      {"2001:db8::1", "Manual"},   {"FE80::1", "Manual"},   {"fe80::1", "Link-Local"}, {"febf::1", "Link-Local"},
      {"fec0::1", "Site-Local"},   {"feff::1", "Site-Local"}, {"::1", "Loopback"},      {"::", "Loopback"},
      {"", "Manual"},
  };
  for (const Case& c : cases) EXPECT_EQ(KindFromAddressText(c.text), c.kind) << "\"" << c.text << "\"";
}

}  // namespace
}  // namespace vantoric
