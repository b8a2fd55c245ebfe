// The address dialogs' rules: which halves a mode change loads, the lifetime
// order check with its keyword, the address comparison, and what counts as
// changed since the last apply.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/address_dialog_rules.h"

namespace vantoric {
namespace {

// A plan as the steps it stands for.
std::string Steps(const CCompositionPlan& plan) {
  std::string steps;
  if (plan.m_bRouterPrefix) steps += "RA lookup; ";
  if (plan.m_bClear) steps += "clear; ";
  if (plan.m_bRouterPrefix) steps += "load prefix; ";
  switch (plan.m_identifier) {
    case IdentifierSource::Eui64: steps += "EUI-64; "; break;
    case IdentifierSource::StoredRandom: steps += "stored random; "; break;
    case IdentifierSource::NewRandom: steps += "new random; "; break;
    case IdentifierSource::None: break;
  }
  return steps + "redisplay";
}

struct PlanCase {
  int nChanged, nOther;
  const char* steps;
  const char* why;
};

TEST(AddressComposition, PrefixModeChange) {
  const PlanCase cases[] = {
      {0, 0, "clear; redisplay", "manual both: the field empties"},
      {0, 1, "clear; EUI-64; redisplay", "the MAC identifier is made again"},
      {0, 2, "clear; stored random; redisplay", "no new random identifier"},
      {1, 0, "RA lookup; load prefix; redisplay", "router prefix, identifier half blank"},
      {1, 1, "RA lookup; load prefix; EUI-64; redisplay", "router prefix and MAC identifier"},
      {1, 2, "RA lookup; load prefix; stored random; redisplay", "the random identifier is kept"},
  };
  for (const PlanCase& c : cases) {
    EXPECT_EQ(Steps(PlanPrefixModeChange(c.nChanged, c.nOther)), c.steps)
        << "prefix " << c.nChanged << ", identifier " << c.nOther << ": " << c.why;
  }
}

TEST(AddressComposition, IdentifierModeChange) {
  const PlanCase cases[] = {
      {0, 0, "clear; redisplay", "manual both: the field empties"},
      {0, 1, "RA lookup; load prefix; redisplay", "the prefix load blanks the identifier half"},
      {1, 0, "clear; EUI-64; redisplay", "manual prefix: only the identifier"},
      {1, 1, "EUI-64; redisplay", "the prefix groups stay"},
      {2, 0, "clear; new random; redisplay", "every choice of random makes one"},
      {2, 1, "new random; redisplay", "the prefix groups stay"},
  };
  for (const PlanCase& c : cases) {
    EXPECT_EQ(Steps(PlanIdentifierModeChange(c.nChanged, c.nOther)), c.steps)
        << "identifier " << c.nChanged << ", prefix " << c.nOther << ": " << c.why;
  }
}

TEST(AddressComposition, RouterEui64Check) {
  EXPECT_EQ(Steps(PlanRouterEui64Check(true)), "RA lookup; load prefix; EUI-64; redisplay") << "checked";
  EXPECT_EQ(Steps(PlanRouterEui64Check(false)), "clear; redisplay") << "cleared";
}

TEST(AddressComposition, Eui64NeedsASixByteMac) {
  const struct {
    unsigned nLength;
    bool bPossible;
    const char* why;
  } cases[] = {{0, false, "no MAC"}, {5, false, "short"}, {6, true, "48-bit MAC"}, {8, false, "64-bit address"}};
  for (const auto& c : cases) EXPECT_EQ(CanMakeEui64Identifier(c.nLength), c.bPossible) << c.why;
}

TEST(LifetimeOrder, KeywordInAnyCase) {
  const struct {
    const char* text;
    bool bInfinite;
    const char* why;
  } cases[] = {
      {"infinite", true, "lower case"}, {"Infinite", true, "capital I"},  {"INFINITE", true, "capitals"},
      {"infinit", false, "cut short"},  {"infinite ", false, "a blank"}, {"", false, "empty"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInfiniteLifetime(c.text), c.bInfinite) << '"' << c.text << "\": " << c.why;
}

TEST(LifetimeOrder, ValidAtLeastPreferred) {
  const struct {
    const char* valid;
    const char* preferred;
    bool bValid;
    const char* why;
  } cases[] = {
      {"infinite", "infinite", true, "both infinite"},
      {"infinite", "1h", true, "infinite valid passes"},
      {"1h", "infinite", false, "finite valid under infinite preferred"},
      {"2h", "2h", true, "equal"},
      {"1h", "2h", false, "valid shorter"},
      {"1d", "23h59m59s", true, "valid longer"},
      {"Infinite", "infinite", true, "capital keyword is infinite, not 0 s"},
      {"1h", "INFINITE", false, "capital keyword preferred is infinite"},
      {"60m", "1h", true, "seconds compared, not texts"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsLifetimeOrderValid(c.valid, c.preferred), c.bValid)
        << "valid " << c.valid << ", preferred " << c.preferred << ": " << c.why;
  }
}

TEST(AddressComparison, SameAddressSameKey) {
  const struct {
    const char* field;
    const char* key;
    const char* why;
  } cases[] = {
      {"2001:db8::1", "2001:db8::1", "compressed text"},
      {" 2001 : 0db8 :0:0:0:0:0: 0001", "2001:db8::1", "blanks and leading zeros"},
      {"2001:DB8::1", "2001:db8::1", "letter case"},
      {"2001:db8:::::::1", "2001:db8:::::::1", "unparsable text as it stands"},
      {"", "", "empty field"},
  };
  for (const auto& c : cases) EXPECT_EQ(AddressComparisonKey(c.field), c.key) << '"' << c.field << "\": " << c.why;
}

TEST(AppliedSettings, ChangesCountFromTheLastApply) {
  const CAddressSettings loaded{"2001:db8::1", "unicast", "infinite", "infinite"};
  CAddressSettings other = loaded;
  other.m_strAddressKey = "2001:db8::2";
  CAddressSettings anycast = loaded;
  anycast.m_strType = "anycast";
  CAddressSettings shorter = loaded;
  shorter.m_strPreferredLifetime = "1h";

  const struct {
    std::vector<CAddressSettings> applied;
    CAddressSettings now;
    bool bUnchanged, bApplied, bAddressChanged;
    const char* why;
  } cases[] = {
      {{}, loaded, true, false, false, "nothing touched"},
      {{}, anycast, false, false, false, "type only"},
      {{}, shorter, false, false, false, "lifetime only"},
      {{other}, other, true, true, true, "same again after an apply"},
      {{other}, loaded, false, true, true, "back to the loaded values after an apply"},
      {{shorter}, loaded, false, true, false, "an apply that kept the address"},
      {{other, loaded}, loaded, true, true, false, "address changed and changed back"},
  };
  for (const auto& c : cases) {
    CAppliedSettings state;
    state.Load(loaded);
    for (const CAddressSettings& sent : c.applied) state.OnApplied(sent);
    EXPECT_EQ(state.IsUnchanged(c.now), c.bUnchanged) << c.why;
    EXPECT_EQ(state.HasApplied(), c.bApplied) << c.why;
    EXPECT_EQ(state.HasAddressChanged(), c.bAddressChanged) << c.why;
  }
}

}  // namespace
}  // namespace vantoric
