#include "dialogs/dns_dialog_rules.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "framework/ascii_text.h"

namespace vantoric {

int RecordOfChoice(int nSelection, std::size_t nCount) {
  if (nSelection < 0 || static_cast<std::size_t>(nSelection) >= nCount) return -1;
  return nSelection;
}

int FindDnsServer(const std::vector<std::string>& servers, std::string_view text) {
  const auto it = std::find(servers.begin(), servers.end(), text);
  return it == servers.end() ? -1 : static_cast<int>(it - servers.begin());
}

int ParseDnsPosition(std::string_view text) {
  const CLeadingNumber number = ReadLeadingNumber(text, static_cast<std::uint64_t>(INT_MAX) + 1);
  const long long value = static_cast<long long>(number.m_nMagnitude);
  return static_cast<int>(std::clamp(number.m_bNegative ? -value : value, static_cast<long long>(INT_MIN),
                                     static_cast<long long>(INT_MAX)));
}

}  // namespace vantoric
