// Column format texts and sort texts from arbitrary bytes: parsing never
// faults and every column is at least a pixel wide; the sort's comparison
// is an order on any three texts (the input split at its first two line
// feeds): antisymmetric, and transitive with equal texts included.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "controls/list_sort_rules.h"

namespace {

// Stands in for the OS's date reading, so that dates join the mix: "@" and
// digits is that day.
bool ReadDay(std::string_view text, double& when) {
  if (text.size() < 2 || text.front() != '@') return false;
  when = 0;
  for (const char c : text.substr(1)) {
    if (c < '0' || c > '9') return false;
    when = when * 10 + (c - '0');
  }
  return true;
}

int Compare(std::string_view a, std::string_view b) {
  const int cmp = vantoric::CompareSortTexts(a, b, true, &ReadDay);
  return (cmp > 0) - (cmp < 0);
}

std::string_view NextLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const vantoric::CListColumnFormat& column : vantoric::ParseColumnFormats(text))
    if (column.nWidth < 1 || column.strTitle.find(';') != std::string::npos) std::abort();

  std::string_view rest = text;
  const std::string_view first = NextLine(rest);
  const std::string_view second = NextLine(rest);
  const std::string_view texts[] = {first, second, rest};
  for (const std::string_view x : texts)
    for (const std::string_view y : texts)
      if (Compare(x, y) != -Compare(y, x)) std::abort();
  // Every order of the three: x <= y and y <= z give x <= z. With the
  // antisymmetry above this also makes "equal" transitive.
  for (const std::string_view x : texts)
    for (const std::string_view y : texts)
      for (const std::string_view z : texts)
        if (Compare(x, y) <= 0 && Compare(y, z) <= 0 && Compare(x, z) > 0) std::abort();
  return 0;
}
