// The main window's address list between readings: the order a heading
// click chooses, the rows a new reading changes, what Copy puts on the
// clipboard and the expiry tip of a lifetime cell. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/list_sort_rules.h"
#include "core/adapter_records.h"

namespace vantoric {

// The list's columns, in order.
constexpr int ADDRESS_COLUMN_ADDRESS = 0;
constexpr int ADDRESS_COLUMN_KIND = 1;
constexpr int ADDRESS_COLUMN_STATE = 2;
constexpr int ADDRESS_COLUMN_VALID = 3;
constexpr int ADDRESS_COLUMN_PREFERRED = 4;
constexpr int ADDRESS_COLUMN_COUNT = 5;

// The five cell texts of an address's row.
std::vector<std::string> AddressRowTexts(const CAddressRecord& address);

// The list's sort: no column (-1) keeps the system's order.
struct CAddressSort {
  int m_nColumn = -1;
  bool m_bAscending = true;
  bool operator==(const CAddressSort&) const = default;
};
// A click on heading `column`: the first click sorts by it ascending, a
// second click on the same heading reverses.
CAddressSort ClickHeading(const CAddressSort& sort, int column);
// The order of the rows: indexes into `addresses`. Ascending: addresses by
// their 128-bit value (then the zone number; text that does not parse
// last, by its text), lifetimes by seconds with infinite last, kind and
// state as text (ASCII case ignored). Descending is the reverse, except
// that equal rows keep the system's order in both directions.
std::vector<std::size_t> SortAddressRows(const std::vector<CAddressRecord>& addresses, const CAddressSort& sort);

// What a new reading does to rows already shown: row i of the list becomes
// the texts of addresses[order[i]]; m_changedRows are the indexes whose texts
// differ from what the row shows now or that are new; rows past the new
// count are deleted from the end.
struct CRowUpdate {
  std::vector<std::size_t> m_changedRows;
};
CRowUpdate PlanRowUpdate(const std::vector<std::vector<std::string>>& shown,
                         const std::vector<CAddressRecord>& addresses, const std::vector<std::size_t>& order);

// Copy row and Copy all rows: FormatCopiedRow and FormatCopiedTable
// (controls/list_sort_rules.h).

// A broken-down local time, as the platform converts it.
struct CLocalTime {
  int m_nYear = 0;
  int m_nMonth = 0;  // 1-12
  int m_nDay = 0;
  int m_nDayOfWeek = 0;  // 0 Sunday
  int m_nHour = 0;
  int m_nMinute = 0;
  int m_nSecond = 0;
};
// The tip of a lifetime cell: "Never expires" for an infinite lifetime,
// "Expired" once readingTime + seconds is not after now, otherwise
// "<what> until Mon 7 Dec 2026 18:04:12" (`what` is "Valid" or
// "Preferred") with `end` the local time of readingTime + seconds.
std::string FormatExpiryTip(const char* what, std::uint32_t seconds, std::int64_t readingTime, std::int64_t now,
                            const CLocalTime& end);

}  // namespace vantoric
