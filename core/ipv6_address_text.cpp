#include "core/ipv6_address_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vantoric {

namespace {

constexpr std::string_view kHexDigits = "1234567890ABCDEFabcdef";
const std::string kZeroGroup = "0000";
const std::string kBlankGroup = "    ";

// Counts the colons as the parser's first pass does: each "::" once, so of
// three colons in a row the third counts again.
int CountColons(std::string_view text, bool& bDouble) {
  int nColons = 0;
  bDouble = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ':') continue;
    ++nColons;
    if (i + 1 < text.size() && text[i + 1] == ':') {
      bDouble = true;
      ++i;
    }
  }
  return nColons;
}

}  // namespace

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

char Shown(char c) { return c == '\0' ? ' ' : c; }

std::string LeftPadded(std::string_view digits) {
  return std::string(IPV6_GROUP_DIGITS - digits.size(), '0') + std::string(digits);
}

std::string& StripWhitespace(std::string& text) {
  text.erase(std::remove_if(text.begin(), text.end(), IsSpace), text.end());
  return text;
}

bool ParseAddressText(std::string_view text, CIpv6Groups& groups, bool bPrefixMode, CDiagnosticLines& out) {
  if (text.empty()) {
    out << "unexpected number of colons: [" << 0 << "]\n";
    return false;
  }
  bool bDouble = false;
  const int nColons = CountColons(text, bDouble);
  if (nColons > 7 || (nColons < 7 && !bDouble)) {
    out << "unexpected number of colons: [" << nColons << "]\n";
    return false;
  }
  out << "num_colons: [" << nColons << "]\n";
  const int nZeroGroups = bDouble ? 7 - nColons : 0;
  out << "num_zero_nibbles: [" << nZeroGroups << "]\n";

  CIpv6Groups parsed;
  parsed.fill(kZeroGroup);
  int nGroups = 0;     // groups written so far
  std::string digits;  // digits of the current group
  int nColonsSeen = 0;
  bool bExpanded = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (kHexDigits.find(c) != std::string_view::npos) {
      if (digits.size() == IPV6_GROUP_DIGITS) {
        out << "too long nibble: [" << IPV6_GROUP_DIGITS << "]\n";
        return false;
      }
      digits += c;
      continue;
    }
    if (c != ':') {
      out << "invalid character in the address: [" << c << "]\n";
      return false;
    }
    ++nColonsSeen;
    const bool bNextIsColon = i + 1 < text.size() && text[i + 1] == ':';
    if (!digits.empty()) {
      if (nGroups > 7) {
        out << "[a] nibbles found exceeded: [" << nGroups << "]\n";
        return false;
      }
      parsed[static_cast<size_t>(nGroups++)] = LeftPadded(digits);
      digits.clear();
    } else if (bExpanded) {
      out << "nibble already expanded!\n";
      return false;
    } else if (i == 0 && !bNextIsColon) {
      // A single leading colon: the first group was left empty (as the
      // masked display gives it). It reads as zero rather than shifting
      // every later group one place to the left.
      parsed[0] = kZeroGroup;
      nGroups = 1;
    }
    if (bNextIsColon) {
      if (nGroups == 0) {
        parsed[0] = kZeroGroup;
        nGroups = 1;
      }
      for (int z = 0; z < nZeroGroups; ++z) {
        if (nGroups > 7) {
          out << "[b] nibbles found exceeded: [" << nGroups << "]\n";
          return false;
        }
        parsed[static_cast<size_t>(nGroups++)] = kZeroGroup;
      }
      ++i;
      bExpanded = true;
    } else if (i + 1 == text.size()) {
      out << "unexpected :!\n";
      return false;
    }
    if (bPrefixMode && nColonsSeen == 4) break;
  }
  if (!digits.empty()) {
    if (nGroups > 7) {
      out << "[c] nibbles found exceeded: [" << nGroups << "]\n";
      return false;
    }
    parsed[static_cast<size_t>(nGroups)] = LeftPadded(digits);
  }
  if (bPrefixMode) {
    // The prefix is the first four groups, also where a double colon has
    // carried the scan past the fourth group or the text has fewer colons.
    for (int k = 4; k < IPV6_GROUP_COUNT; ++k) parsed[static_cast<size_t>(k)] = kBlankGroup;
  }
  groups = parsed;
  return true;
}

bool ParseAddressText(std::string_view text, CIpv6Groups& groups, bool bPrefixMode) {
  return ParseAddressText(text, groups, bPrefixMode, StandardOutput());
}

CDiagnosticLines& CDiagnosticLines::operator<<(std::string_view text) {
  if (m_pRedirect != nullptr)
    *m_pRedirect << text;
  else if (m_pFile != nullptr)
    std::fwrite(text.data(), 1, text.size(), m_pFile);
  else
    m_text += text;
  return *this;
}

CDiagnosticLines& CDiagnosticLines::operator<<(int n) {
  char digits[16];
  const int nLength = std::snprintf(digits, sizeof digits, "%d", n);
  return *this << std::string_view(digits, static_cast<size_t>(nLength));
}

CDiagnosticLines* CDiagnosticLines::Redirect(CDiagnosticLines* pTo) {
  CDiagnosticLines* pWas = m_pRedirect;
  m_pRedirect = pTo;
  return pWas;
}

CDiagnosticLines& StandardOutput() {
  static CDiagnosticLines lines(stdout);
  return lines;
}

std::string FormatCompressed(const CIpv6Groups& groups) {
  std::array<std::string, IPV6_GROUP_COUNT> shown;
  std::array<bool, IPV6_GROUP_COUNT> zero{};
  for (size_t g = 0; g < shown.size(); ++g) {
    std::string slot = groups[g].substr(0, IPV6_GROUP_DIGITS);
    slot.resize(IPV6_GROUP_DIGITS, ' ');
    std::transform(slot.begin(), slot.end(), slot.begin(), Shown);
    for (char& c : slot) {
      if (c != '0' && c != '-') break;
      c = ' ';
    }
    zero[g] = slot == kBlankGroup;
    shown[g] = zero[g] ? "0" : slot;
  }
  // The longest run of zero groups; the first wins among equal runs.
  int nRunStart = -1;
  int nRunLength = 0;
  for (int g = 0; g < IPV6_GROUP_COUNT;) {
    if (!zero[static_cast<size_t>(g)]) {
      ++g;
      continue;
    }
    int end = g;
    while (end < IPV6_GROUP_COUNT && zero[static_cast<size_t>(end)]) ++end;
    if (end - g > nRunLength) {
      nRunStart = g;
      nRunLength = end - g;
    }
    g = end;
  }
  std::string text;
  auto writeGroups = [&](int from, int to) {
    for (int g = from; g < to; ++g) {
      if (g > from) text += ':';
      text += shown[static_cast<size_t>(g)];
    }
  };
  if (nRunStart < 0) {
    writeGroups(0, IPV6_GROUP_COUNT);
  } else {
    writeGroups(0, nRunStart);
    text += "::";
    writeGroups(nRunStart + nRunLength, IPV6_GROUP_COUNT);
  }
  return StripWhitespace(text);
}

}  // namespace vantoric
