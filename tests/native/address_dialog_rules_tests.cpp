// The address dialogs' rules: which halves a mode change loads and what counts
// as changed since the last apply.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/address_dialog_rules.h"

namespace vantoric {
namespace {

// A plan as the steps it stands for.
std::string Steps(const CCompositionPlan& plan) {
  const char* identifier[] = {"", "EUI-64; ", "stored random; ", "new random; "};
  return std::string(plan.m_bRouterPrefix ? "RA lookup; " : "") + (plan.m_bClear ? "clear; " : "") +
         (plan.m_bRouterPrefix ? "load prefix; " : "") + identifier[static_cast<int>(plan.m_identifier)] + "redisplay";
}

TEST(AddressComposition, ModeChanges) {
  const struct {
    bool bPrefixChanged;
    int nPrefix, nIdentifier;
    const char* steps;
  } cases[] = {
      {true, 0, 0, "clear; redisplay"},
      {true, 0, 1, "clear; EUI-64; redisplay"},
      {true, 0, 2, "clear; stored random; redisplay"},
      {true, 1, 0, "RA lookup; load prefix; redisplay"},
      {true, 1, 1, "RA lookup; load prefix; EUI-64; redisplay"},
      {true, 1, 2, "RA lookup; load prefix; stored random; redisplay"},
      {false, 0, 0, "clear; redisplay"},
      {false, 1, 0, "RA lookup; load prefix; redisplay"},
      {false, 0, 1, "clear; EUI-64; redisplay"},
      {false, 1, 1, "EUI-64; redisplay"},
      {false, 0, 2, "clear; new random; redisplay"},
      {false, 1, 2, "new random; redisplay"},
  };
  for (const auto& c : cases) {
    const CCompositionPlan plan = c.bPrefixChanged ? PlanPrefixModeChange(c.nPrefix, c.nIdentifier)
                                                   : PlanIdentifierModeChange(c.nIdentifier, c.nPrefix);
    EXPECT_EQ(Steps(plan), c.steps) << (c.bPrefixChanged ? "prefix" : "identifier") << " changed, prefix "
                                    << c.nPrefix << ", identifier " << c.nIdentifier;
  }
  EXPECT_EQ(Steps(PlanRouterEui64Check(true)), "RA lookup; load prefix; EUI-64; redisplay") << "box checked";
  EXPECT_EQ(Steps(PlanRouterEui64Check(false)), "clear; redisplay") << "box cleared";
}

TEST(AddressComposition, Eui64NeedsASixByteAddress) {
  const struct {
    unsigned nLength;
    bool bPossible;
  } cases[] = {{0, false}, {5, false}, {6, true}, {7, false}, {8, false}};
  for (const auto& c : cases)
    EXPECT_EQ(CanMakeEui64Identifier(c.nLength), c.bPossible) << "a hardware address of " << c.nLength << " bytes";
}

TEST(AppliedSettings, ChangesCountFromTheLastApply) {
  const CAddressSettings loaded{AddressComparisonKey("2001:db8::1"), "unicast", "infinite", "infinite"};
  CAddressSettings other = loaded, anycast = loaded, shorter = loaded, padded = loaded;
  other.m_strAddressKey = AddressComparisonKey("2001:db8::2");
  anycast.m_strType = "anycast";
  shorter.m_strPreferredLifetime = "1h";
  padded.m_strAddressKey = AddressComparisonKey(" 2001:0DB8 :0:0:0:0:0: 0001");
  const struct {
    std::vector<CAddressSettings> applied;
    CAddressSettings now;
    bool bUnchanged, bAddressChanged;
    const char* why;
  } cases[] = {
      {{}, loaded, true, false, "nothing touched"},
      {{}, padded, true, false, "the same address with blanks, zeros and capitals"},
      {{}, anycast, false, false, "type only"},
      {{}, shorter, false, false, "lifetime only"},
      {{other}, other, true, true, "same again after an apply"},
      {{other}, loaded, false, true, "back to the loaded values after an apply"},
      {{shorter}, loaded, false, false, "an apply that kept the address"},
      {{other, loaded}, loaded, true, false, "address changed and changed back"},
  };
  for (const auto& c : cases) {
    CAppliedSettings state;
    state.Load(loaded);
    for (const CAddressSettings& sent : c.applied) state.OnApplied(sent);
    EXPECT_EQ(state.IsUnchanged(c.now), c.bUnchanged) << c.why;
    EXPECT_EQ(state.HasApplied(), !c.applied.empty()) << c.why;
    EXPECT_EQ(state.HasAddressChanged(), c.bAddressChanged) << c.why;
  }
}

TEST(AppliedSettings, AnAddressAppliedAndThenReplacedIsToBeDeleted) {
  const CAddressSettings a{AddressComparisonKey("2001:db8::a"), "unicast", "infinite", "infinite"};
  CAddressSettings b = a, c = a, anycastB = a;
  b.m_strAddressKey = AddressComparisonKey("2001:db8::b");
  c.m_strAddressKey = AddressComparisonKey("2001:db8::c");
  anycastB = b;
  anycastB.m_strType = "anycast";
  const struct {
    std::vector<CAddressSettings> applied;
    bool bWasThere;  // B was on the adapter before the dialog opened
    std::vector<std::string> superseded;
    const char* why;
  } cases[] = {
      {{b, c}, false, {"2001:db8::b"}, "A to B, then B to C"},
      {{b, a}, false, {"2001:db8::b"}, "A to B, then back to A"},
      {{b, anycastB}, false, {}, "B kept, only its type changed"},
      {{anycastB, c}, false, {"2001:db8::b"}, "the record text of B, whatever its type"},
      {{b, c}, true, {}, "A to B that was there before, then B to C: B is not this dialog's to delete"},
      {{b, a}, true, {}, "A to B that was there before, then back to A"},
  };
  for (const auto& k : cases) {
    CAppliedSettings state;
    state.Load(a);
    for (const CAddressSettings& sent : k.applied) {
      const bool bIsB = sent.m_strAddressKey == b.m_strAddressKey;
      state.OnApplied(sent, bIsB ? "2001:db8::b" : "other", bIsB && k.bWasThere);
    }
    EXPECT_EQ(state.GetSuperseded(), k.superseded) << k.why;
  }
}

}  // namespace
}  // namespace vantoric
