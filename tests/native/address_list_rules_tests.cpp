// The main window's address list between readings: heading clicks, the
// rows' order, the rows a new reading changes, Copy texts and expiry tips.
#include "app/address_list_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantoric {
namespace {

constexpr std::uint32_t INFINITE_SECONDS = 0xFFFFFFFFu;

CAddressRecord Address(const char* text, const char* kind = "Manual", const char* state = "Preferred",
                       std::uint32_t valid = INFINITE_SECONDS, std::uint32_t preferred = INFINITE_SECONDS) {
  CAddressRecord address;
  address.m_strAddress = text;
  address.m_strKind = kind;
  address.m_strState = state;
  address.m_strValidLifetime = valid == INFINITE_SECONDS ? "infinite" : std::to_string(valid) + "s";
  address.m_strPreferredLifetime = preferred == INFINITE_SECONDS ? "infinite" : std::to_string(preferred) + "s";
  address.m_nValidSeconds = valid;
  address.m_nPreferredSeconds = preferred;
  return address;
}

CAddressRecord Lifetimes(std::uint32_t valid, std::uint32_t preferred) {
  return Address("2001:db8::1", "Manual", "Preferred", valid, preferred);
}

TEST(AddressList, HeadingClicks) {
  const struct {
    const char* reason;
    CAddressSort before;
    int column;
    CAddressSort after;
  } cases[] = {
      {"first click on an unsorted list sorts ascending", {-1, true}, 2, {2, true}},
      {"second click on the same heading reverses", {2, true}, 2, {2, false}},
      {"third click goes back to ascending", {2, false}, 2, {2, true}},
      {"another heading after a descending sort starts ascending", {2, false}, 3, {3, true}},
      {"another heading after an ascending sort starts ascending", {0, true}, 4, {4, true}},
  };
  for (const auto& c : cases) EXPECT_EQ(ClickHeading(c.before, c.column), c.after) << c.reason;
}

TEST(AddressList, RowOrder) {
  const std::uint32_t DAY = 86400;
  const struct {
    const char* reason;
    std::vector<CAddressRecord> addresses;
    CAddressSort sort;
    std::vector<std::size_t> order;
  } cases[] = {
      {"no column keeps the system's order", {Address("::2"), Address("::1"), Address("::3")}, {-1, true}, {0, 1, 2}},
      {"a column past the last keeps the system's order", {Lifetimes(0, 9), Lifetimes(0, 1)}, {5, true}, {0, 1}},
      {"by value, not by text", {Address("2001:db8::10"), Address("2001:db8::9"), Address("::1")}, {0, true},
       {2, 1, 0}},
      {"by value descending", {Address("::1"), Address("2001:db8::10"), Address("2001:db8::9")}, {0, false},
       {1, 2, 0}},
      {"the first byte counts", {Address("2001:db8::1"), Address("1001:db8::1")}, {0, true}, {1, 0}},
      {"the last byte counts", {Address("2001:db8::2"), Address("2001:db8::1")}, {0, true}, {1, 0}},
      {"the last byte counts descending", {Address("2001:db8::1"), Address("2001:db8::2")}, {0, false}, {1, 0}},
      {"one address: by zone number, no zone first",
       {Address("fe80::1%12"), Address("fe80::1%4"), Address("fe80::1")}, {0, true}, {2, 1, 0}},
      {"the address before the zone", {Address("fe80::2%1"), Address("fe80::1%9")}, {0, true}, {1, 0}},
      {"text that does not parse last, by text",
       {Address("zz"), Address("2001:db8::1"), Address(""), Address("abc")}, {0, true}, {1, 2, 3, 0}},
      {"descending puts it first, by text reversed",
       {Address("zz"), Address("2001:db8::1"), Address(""), Address("abc")}, {0, false}, {0, 3, 2, 1}},
      {"one address in three spellings keeps the system's order",
       {Address("2001:DB8::1"), Address("2001:db8::1"), Address("2001:db8:0::1")}, {0, true}, {0, 1, 2}},
      {"one address in three spellings keeps it descending too",
       {Address("2001:DB8::1"), Address("2001:db8::1"), Address("2001:db8:0::1")}, {0, false}, {0, 1, 2}},
      {"kind ignores case",
       {Address("::1", "manual"), Address("::2", "Link-Local"), Address("::3", "Public"), Address("::4", "MANUAL")},
       {1, true}, {1, 0, 3, 2}},
      {"kind descending, equal kinds in the system's order",
       {Address("::1", "manual"), Address("::2", "Link-Local"), Address("::3", "Public"), Address("::4", "MANUAL")},
       {1, false}, {2, 0, 3, 1}},
      {"state ignores case",
       {Address("::1", "Manual", "Preferred"), Address("::2", "Manual", "deprecated"),
        Address("::3", "Manual", "Tentative")},
       {2, true}, {1, 0, 2}},
      {"valid by seconds, infinite last",
       {Lifetimes(INFINITE_SECONDS, 0), Lifetimes(600, 0), Lifetimes(400 * DAY, 0), Lifetimes(0, 0)}, {3, true},
       {3, 1, 2, 0}},
      {"valid descending, infinite first",
       {Lifetimes(600, 0), Lifetimes(INFINITE_SECONDS, 0), Lifetimes(0, 0), Lifetimes(400 * DAY, 0)}, {3, false},
       {1, 3, 0, 2}},
      {"valid equal keeps the system's order descending", {Lifetimes(600, 1), Lifetimes(600, 2)}, {3, false},
       {0, 1}},
      {"preferred by its own seconds, not valid's",
       {Lifetimes(1, INFINITE_SECONDS), Lifetimes(2, 60), Lifetimes(3, 0)}, {4, true}, {2, 1, 0}},
      {"preferred descending, infinite first",
       {Lifetimes(3, 0), Lifetimes(2, INFINITE_SECONDS), Lifetimes(1, 60)}, {4, false}, {1, 2, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(SortAddressRows(c.addresses, c.sort), c.order) << c.reason;
}

TEST(AddressList, RowUpdatePlan) {
  using Records = std::vector<CAddressRecord>;
  const CAddressRecord a = Address("2001:db8::1");
  const CAddressRecord b = Address("2001:db8::2", "Temporary");
  const CAddressRecord c = Address("fe80::1%4", "Link-Local");
  const CAddressRecord bDeprecated = Address("2001:db8::2", "Temporary", "Deprecated");
  const CAddressRecord bShorter = Address("2001:db8::2", "Temporary", "Preferred", 599);
  const auto rows = [](const Records& records) {
    std::vector<std::vector<std::string>> shown;
    for (const CAddressRecord& r : records) shown.push_back(AddressRowTexts(r));
    return shown;
  };
  const struct {
    const char* reason;
    Records shown;
    Records next;
    std::vector<std::size_t> order;  // empty: the system's order
    std::vector<std::size_t> changed;
  } cases[] = {
      {"the same rows change nothing", {a, b, c}, {a, b, c}, {}, {}},
      {"one state changed: that row only", {a, b, c}, {a, bDeprecated, c}, {}, {1}},
      {"one lifetime changed: that row only", {a, b, c}, {a, bShorter, c}, {}, {1}},
      {"rows added at the end", {a, b}, {a, b, c}, {}, {2}},
      {"rows removed from the end", {a, b, c}, {a, b}, {}, {}},
      {"the first row removed shifts every row", {a, b, c}, {b, c}, {}, {0, 1}},
      {"a row inserted in the middle changes every row after it", {a, b, c}, {a, bDeprecated, b, c}, {}, {1, 2, 3}},
      {"an empty list fills every row", {}, {a, b}, {}, {0, 1}},
      {"rows follow the order, not the records", {c, b, a}, {a, b, c}, {2, 1, 0}, {}},
      {"a new order moves the rows it swaps", {a, b, c}, {a, b, c}, {0, 2, 1}, {1, 2}},
  };
  for (const auto& t : cases) {
    std::vector<std::size_t> order = t.order;
    if (order.empty())
      for (std::size_t i = 0; i < t.next.size(); ++i) order.push_back(i);
    EXPECT_EQ(PlanRowUpdate(rows(t.shown), t.next, order).m_changedRows, t.changed) << t.reason;
  }
}

TEST(AddressList, CopiedTexts) {
  const std::vector<std::string> row = AddressRowTexts(Address("2001:db8::1", "Manual", "Preferred", 600, 300));
  const struct {
    const char* reason;
    std::vector<std::string> cells;
    std::string text;
  } rows[] = {
      {"a row's cells in column order", row, "2001:db8::1\tManual\tPreferred\t600s\t300s\r\n"},
      {"empty cells keep their tabs", {"", ""}, "\t\r\n"},
      {"a tab in a cell", {"a\tb", "c"}, "a b\tc\r\n"},
      {"a line feed in a cell", {"a\nb"}, "a b\r\n"},
      {"a lone carriage return in a cell", {"a\rb"}, "a b\r\n"},
      {"CRLF in a cell is one break", {"a\r\nb"}, "a b\r\n"},
      {"CRLF ending a cell", {"a\r\n", "b"}, "a \tb\r\n"},
      {"a carriage return ending a cell", {"a\r"}, "a \r\n"},
  };
  for (const auto& c : rows) EXPECT_EQ(FormatCopiedRow(c.cells), c.text) << c.reason;

  const std::vector<std::string> headings = {"Address", "Kind", "State", "Valid", "Preferred"};
  const std::string headingLine = "Address\tKind\tState\tValid\tPreferred\r\n";
  const struct {
    const char* reason;
    std::vector<std::vector<std::string>> rows;
    std::string text;
  } tables[] = {
      {"headings alone", {}, headingLine},
      {"headings first, then every row, each line ending in CRLF",
       {row, {"x\ty", "", "", "", ""}},
       headingLine + "2001:db8::1\tManual\tPreferred\t600s\t300s\r\nx y\t\t\t\t\r\n"},
  };
  for (const auto& c : tables) EXPECT_EQ(FormatCopiedTable(headings, c.rows), c.text) << c.reason;
}

TEST(AddressList, ExpiryTip) {
  const CLocalTime mondayEvening = {2026, 12, 7, 1, 18, 4, 12};
  const CLocalTime earlyMorning = {2027, 1, 5, 2, 3, 5, 9};
  const struct {
    const char* reason;
    const char* what;
    std::uint32_t seconds;
    std::int64_t reading, now;
    CLocalTime end;
    const char* tip;
  } cases[] = {
      {"infinite never expires, however old the reading", "Valid", INFINITE_SECONDS, 0, 1LL << 40, mondayEvening,
       "Never expires"},
      {"one second short of infinite has an end", "Preferred", INFINITE_SECONDS - 1, 1000, 1000, mondayEvening,
       "Preferred until Mon 7 Dec 2026 18:04:12"},
      {"zero seconds is expired at once", "Valid", 0, 1000, 1000, mondayEvening, "Expired"},
      {"the end reached exactly now", "Valid", 600, 1000, 1600, mondayEvening, "Expired"},
      {"one second before the end", "Valid", 600, 1000, 1599, mondayEvening, "Valid until Mon 7 Dec 2026 18:04:12"},
      {"long past the end", "Preferred", 600, 1000, 99999, mondayEvening, "Expired"},
      {"day without a leading zero, time with two digits each", "Valid", 60, 0, 0, earlyMorning,
       "Valid until Tue 5 Jan 2027 03:05:09"},
      {"first day of the week", "Valid", 60, 0, 0, {2026, 12, 13, 0, 0, 0, 0}, "Valid until Sun 13 Dec 2026 00:00:00"},
      {"last day of the week", "Valid", 60, 0, 0, {2026, 12, 12, 6, 23, 59, 59},
       "Valid until Sat 12 Dec 2026 23:59:59"},
      {"a time outside the tables names no day or month", "Valid", 60, 0, 0, {2026, 13, 1, 7, 0, 0, 0},
       "Valid until ? 1 ? 2026 00:00:00"},
      {"no month 0 or day of week -1", "Valid", 60, 0, 0, {2026, 0, 1, -1, 0, 0, 0},
       "Valid until ? 1 ? 2026 00:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatExpiryTip(c.what, c.seconds, c.reading, c.now, c.end), c.tip) << c.reason;
}

}  // namespace
}  // namespace vantoric
