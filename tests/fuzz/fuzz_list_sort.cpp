// Column format texts and sort texts from arbitrary bytes: parsing and
// comparing never fault, every column is at least a pixel wide, and a text
// always compares equal to itself, in both directions.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controls/list_sort_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const vantoric::CListColumnFormat& column : vantoric::ParseColumnFormats(text))
    if (column.nWidth < 1 || column.strTitle.find(';') != std::string::npos) std::abort();
  const std::size_t half = size / 2;
  const std::string_view a = text.substr(0, half), b = text.substr(half);
  if (vantoric::CompareSortTexts(a, a, true, nullptr) != 0) std::abort();
  const int ascending = vantoric::CompareSortTexts(a, b, true, nullptr);
  if (vantoric::CompareSortTexts(a, b, false, nullptr) != -ascending) std::abort();
  return 0;
}
