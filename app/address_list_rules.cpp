#include "app/address_list_rules.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string_view>

#include "core/address_guards.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

// What an address cell sorts by: the 128-bit value, then the zone number
// (fe80::1%4 before fe80::1%12, not by text); a text that does not parse
// sorts after every address, by its text.
struct CAddressKey {
  bool m_bParsed = false;
  CIpv6Bytes m_bytes{};
  std::uint64_t m_nZone = 0;
};

CAddressKey MakeAddressKey(const std::string& text) {
  CAddressKey key;
  key.m_bParsed = ParseIpv6Bytes(text, key.m_bytes);
  const std::size_t percent = text.find('%');
  if (percent != std::string::npos)
    key.m_nZone = ReadLeadingNumber(std::string_view(text).substr(percent + 1), UINT32_MAX).m_nMagnitude;
  return key;
}

template <typename T>
int Compare(const T& a, const T& b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

int CompareAddresses(const CAddressKey& a, const CAddressKey& b, const std::string& textA,
                     const std::string& textB) {
  if (a.m_bParsed != b.m_bParsed) return a.m_bParsed ? -1 : 1;
  if (!a.m_bParsed) return textA.compare(textB);
  if (const int order = Compare(a.m_bytes, b.m_bytes)) return order;
  return Compare(a.m_nZone, b.m_nZone);
}

// English names whatever the user's locale, as the rest of the window's
// texts are English; an index outside the table gives "?".
const char* PickName(const char* const* names, int count, int index) {
  return index >= 0 && index < count ? names[index] : "?";
}

}  // namespace

std::vector<std::string> AddressRowTexts(const CAddressRecord& address) {
  return {address.m_strAddress, address.m_strKind, address.m_strState, address.m_strValidLifetime,
          address.m_strPreferredLifetime};
}

CAddressSort ClickHeading(const CAddressSort& sort, int column) {
  if (sort.m_nColumn == column) return {column, !sort.m_bAscending};
  return {column, true};
}

std::vector<std::size_t> SortAddressRows(const std::vector<CAddressRecord>& addresses, const CAddressSort& sort) {
  std::vector<std::size_t> order(addresses.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (sort.m_nColumn < 0 || sort.m_nColumn >= ADDRESS_COLUMN_COUNT) return order;

  std::vector<CAddressKey> keys;
  if (sort.m_nColumn == ADDRESS_COLUMN_ADDRESS)
    for (const CAddressRecord& address : addresses) keys.push_back(MakeAddressKey(address.m_strAddress));
  const auto compare = [&](std::size_t a, std::size_t b) {
    const CAddressRecord& x = addresses[a];
    const CAddressRecord& y = addresses[b];
    switch (sort.m_nColumn) {
      case ADDRESS_COLUMN_ADDRESS:
        return CompareAddresses(keys[a], keys[b], x.m_strAddress, y.m_strAddress);
      case ADDRESS_COLUMN_KIND:
        return LowerAscii(x.m_strKind).compare(LowerAscii(y.m_strKind));
      case ADDRESS_COLUMN_STATE:
        return LowerAscii(x.m_strState).compare(LowerAscii(y.m_strState));
      case ADDRESS_COLUMN_VALID:
        return Compare(x.m_nValidSeconds, y.m_nValidSeconds);
      default:
        return Compare(x.m_nPreferredSeconds, y.m_nPreferredSeconds);
    }
  };
  // Descending asks whether b sorts before a, so that equal rows keep the
  // system's order in both directions.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return sort.m_bAscending ? compare(a, b) < 0 : compare(a, b) > 0;
  });
  return order;
}

CRowUpdate PlanRowUpdate(const std::vector<std::vector<std::string>>& shown,
                         const std::vector<CAddressRecord>& addresses, const std::vector<std::size_t>& order) {
  // Compared cell by cell, without building the texts of rows that stay.
  const auto shows = [](const std::vector<std::string>& cells, const CAddressRecord& a) {
    return cells.size() == ADDRESS_COLUMN_COUNT && cells[0] == a.m_strAddress && cells[1] == a.m_strKind &&
           cells[2] == a.m_strState && cells[3] == a.m_strValidLifetime && cells[4] == a.m_strPreferredLifetime;
  };
  CRowUpdate update;
  for (std::size_t i = 0; i < order.size(); ++i)
    if (i >= shown.size() || !shows(shown[i], addresses[order[i]])) update.m_changedRows.push_back(i);
  return update;
}

std::string FormatExpiryTip(const char* what, std::uint32_t seconds, std::int64_t readingTime, std::int64_t now,
                            const CLocalTime& end) {
  static const char* const DAYS[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (seconds == 0xFFFFFFFFu) return "Never expires";
  if (readingTime + static_cast<std::int64_t>(seconds) <= now) return "Expired";
  char text[80];
  std::snprintf(text, sizeof text, " until %s %d %s %d %02d:%02d:%02d", PickName(DAYS, 7, end.m_nDayOfWeek),
                end.m_nDay, PickName(MONTHS, 12, end.m_nMonth - 1), end.m_nYear, end.m_nHour, end.m_nMinute,
                end.m_nSecond);
  return what + std::string(text);
}

}  // namespace vantoric
