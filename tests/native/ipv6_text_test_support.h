// What the address text tests share: a parse's outcome as comparable text.
#pragma once

#include <string>

#include "core/ipv6_address_text.h"

namespace vantoric {

inline std::string Joined(const CIpv6Groups& groups) {
  std::string text;
  for (const std::string& g : groups) text += (text.empty() ? "" : ",") + g;
  return text;
}

struct ParseOutcome {
  bool bAccepted = false;
  std::string groups;  // joined, when accepted
  std::string lines;   // everything written to the diagnostics stream
};

inline ParseOutcome Parse(const std::string& text, bool bPrefix = false) {
  CIpv6Groups groups;
  CDiagnosticLines out;
  ParseOutcome outcome;
  outcome.bAccepted = ParseAddressText(text, groups, bPrefix, out);
  if (outcome.bAccepted) outcome.groups = Joined(groups);
  outcome.lines = out.str();
  return outcome;
}

}  // namespace vantoric
