// Rules of the DNS server list that the DNS page and the Add DNS dialog
// share: which record a chooser selection names, where a server's text
// stands in a record, and the position text that the Add DNS command takes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantoric {

// The record that a chooser selection names: the selection when it lies
// within the nCount records, otherwise -1. A drop-down chooser whose edit
// field holds a text that matches no entry has the selection -1.
int RecordOfChoice(int nSelection, std::size_t nCount);

// The 0-based index of the first entry of `servers` whose text is `text`,
// or -1. A list that the user sorted no longer stands in the record's order,
// so a row is matched to its entry by its text.
int FindDnsServer(const std::vector<std::string>& servers, std::string_view text);

// The position that a position text stands for: decimal digits after
// optional blanks and one sign, read up to the first other character; no
// digits give 0. Values beyond the int range are clamped to it.
int ParseDnsPosition(std::string_view text);

}  // namespace vantoric
