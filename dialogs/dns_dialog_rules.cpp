#include "dialogs/dns_dialog_rules.h"

#include <algorithm>
#include <climits>

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
  std::size_t i = 0;
  // The blanks that the C library's conversion skips.
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool bNegative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) bNegative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  if (bNegative) value = -value;
  return static_cast<int>(std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

}  // namespace vantoric
