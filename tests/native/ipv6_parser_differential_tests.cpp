// The address parser against the C library's inet_pton over generated
// address texts (no embedded IPv4, no zone): the same accept/refuse and the
// same 128 bits, except for the parser's deliberate differences, each named
// below, where the expectation is inet_pton's reading of the text as the
// parser means it.
#include <arpa/inet.h>
#include <netinet/in.h>

#include <gtest/gtest.h>

#include <iostream>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/ipv6_address_text.h"

namespace vantoric {
namespace {

constexpr const char* kLeadingColon = "a single leading colon reads as an empty first group";
constexpr const char* kNoGroupDoubleColon = "with seven colons a double colon stands for no group";
constexpr const char* kSharedDoubleColons = "each of several double colons stands for the same number of zero groups";

using CBits = std::array<unsigned char, 16>;

bool LibcParse(const std::string& text, CBits& bits) {
  in6_addr addr{};
  if (inet_pton(AF_INET6, text.c_str(), &addr) != 1) return false;
  std::copy(addr.s6_addr, addr.s6_addr + 16, bits.begin());
  return true;
}

bool OurParse(const std::string& text, CBits& bits) {
  CIpv6Groups groups;
  CDiagnosticLines lines;
  if (!ParseAddressText(text, groups, false, lines)) return false;
  for (size_t g = 0; g < groups.size(); ++g) {
    const unsigned long value = std::strtoul(groups[g].c_str(), nullptr, 16);
    bits[2 * g] = static_cast<unsigned char>(value >> 8);
    bits[2 * g + 1] = static_cast<unsigned char>(value & 0xFF);
  }
  return true;
}

// Colons as the parser counts them: each "::" once.
int CountColons(const std::string& text) {
  int n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ':') continue;
    ++n;
    if (i + 1 < text.size() && text[i + 1] == ':') ++i;
  }
  return n;
}

// Writes every "::" out as ":" and nZero zero groups (one more at the
// start of the text, where the first group is left out too) and fills up
// to eight groups with zeros, as the parser presets them.
std::string Expanded(const std::string& text, int nZero) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ':' || i + 1 >= text.size() || text[i + 1] != ':') {
      out += text[i];
      continue;
    }
    out += i == 0 ? "0:" : ":";
    for (int k = 0; k < nZero; ++k) out += "0:";
    if (++i + 1 == text.size()) out.pop_back();
  }
  for (auto groups = std::count(out.begin(), out.end(), ':') + 1; groups < 8; ++groups) out += ":0";
  return out;
}

int CountDoubleColons(const std::string& text) {
  int n = 0;
  for (size_t at = text.find("::"); at != std::string::npos; at = text.find("::", at + 2)) ++n;
  return n;
}

// The text as the parser means it, in the form inet_pton reads; names the
// deliberate differences that apply.
std::string Intended(const std::string& text, std::vector<const char*>& differences) {
  std::string reading = text;
  if (reading.size() >= 2 && reading[0] == ':' && reading[1] != ':') {
    reading = "0" + reading;
    differences.push_back(kLeadingColon);
  }
  if (reading.find(":::") != std::string::npos) return reading;
  const int nColons = CountColons(reading);
  const int nDoubles = CountDoubleColons(reading);
  if (nColons <= 7 && (nDoubles > 1 || (nDoubles == 1 && nColons == 7))) {
    differences.push_back(nDoubles > 1 ? kSharedDoubleColons : kNoGroupDoubleColon);
    reading = Expanded(reading, 7 - nColons);
  }
  return reading;
}

std::string Hex(unsigned value, std::mt19937& rng) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%x", value);
  std::string digits = buf;
  const size_t width = digits.size() + rng() % (5 - digits.size());
  digits.insert(0, width - digits.size(), '0');
  for (char& c : digits) {
    if (c >= 'a' && rng() % 2) c = static_cast<char>(c - 'a' + 'A');
  }
  return digits;
}

std::string Generate(std::mt19937& rng) {
  std::array<unsigned, 8> values;
  for (unsigned& v : values) v = rng() % 3 == 0 ? 0 : (rng() % 2 ? rng() % 0x10 : rng() % 0x10000);
  // Which groups a "::" replaces: none, a run of zero groups, or no group
  // at all between two written groups.
  int runStart = -1, runLength = 0;
  const unsigned mode = rng() % 4;
  if (mode == 1 || mode == 2) {
    const int start = static_cast<int>(rng() % 8);
    if (values[static_cast<size_t>(start)] == 0) {
      runStart = start;
      runLength = 1;
      while (runStart + runLength < 8 && values[static_cast<size_t>(runStart + runLength)] == 0 && rng() % 4)
        ++runLength;
    }
  } else if (mode == 3) {
    runStart = 1 + static_cast<int>(rng() % 7);
  }
  std::string text;
  bool bAfterDouble = false;
  for (int g = 0; g < 8;) {
    if (g == runStart) {
      text += "::";
      g += runLength;
      runStart = -1;
      bAfterDouble = true;
      continue;
    }
    if (g > 0 && !bAfterDouble) text += ':';
    bAfterDouble = false;
    text += Hex(values[static_cast<size_t>(g++)], rng);
  }
  // Some texts are damaged on purpose.
  static const std::string kAlphabet = "0123456789abcdefABCDEF:::g ";
  switch (rng() % 10) {
    case 0:
      text.insert(rng() % (text.size() + 1), 1, kAlphabet[rng() % kAlphabet.size()]);
      break;
    case 1:
      if (!text.empty()) text.erase(rng() % text.size(), 1);
      break;
    case 2:
      if (!text.empty()) text[rng() % text.size()] = kAlphabet[rng() % kAlphabet.size()];
      break;
    case 3:
      text.insert(0, ":");
      break;
    case 4:
      text += ':';
      break;
    default:
      break;
  }
  return text;
}

TEST(Ipv6ParserDifferential, AgreesWithInetPtonOverGeneratedTexts) {
  std::mt19937 rng(20261207);
  std::map<std::string, int> seenDifferences;
  int accepted = 0, refused = 0;
  for (int round = 0; round < 100000; ++round) {
    const std::string text = Generate(rng);
    std::vector<const char*> differences;
    const std::string reading = Intended(text, differences);
    CBits expected{}, ours{}, direct{};
    const bool bExpected = LibcParse(reading, expected);
    const bool bOurs = OurParse(text, ours);
    ASSERT_EQ(bOurs, bExpected) << "text \"" << text << "\", read as \"" << reading << "\"";
    if (bOurs) {
      ASSERT_EQ(ours, expected) << "text \"" << text << "\", read as \"" << reading << "\"";
      ++accepted;
    } else {
      ++refused;
    }
    // A difference counts where it really changes the outcome.
    if (bOurs && !LibcParse(text, direct)) {
      ASSERT_FALSE(differences.empty()) << "text \"" << text << "\" accepted but refused by inet_pton";
      for (const char* name : differences) ++seenDifferences[name];
    }
  }
  std::cout << accepted << " accepted, " << refused << " refused; differences:";
  for (auto& [name, n] : seenDifferences) std::cout << " [" << name << "] " << n;
  std::cout << "\n";
  EXPECT_GT(accepted, 25000);
  EXPECT_GT(refused, 5000);
  EXPECT_GT(seenDifferences[kLeadingColon], 100) << kLeadingColon;
  EXPECT_GT(seenDifferences[kNoGroupDoubleColon], 100) << kNoGroupDoubleColon;
  EXPECT_GT(seenDifferences[kSharedDoubleColons], 10) << kSharedDoubleColons;
}

TEST(Ipv6ParserDifferential, NamedDifferences) {
  struct Case {
    const char* text;
    const char* difference;
    const char* reading;
  };
  const Case cases[] = {
      {"1::2:3:4:5:6:7:8", kNoGroupDoubleColon, "1:2:3:4:5:6:7:8"},
      {"1:2:3::4:5:6:7:8", kNoGroupDoubleColon, "1:2:3:4:5:6:7:8"},
      {"1::2::3:4:5:6:7:8", kSharedDoubleColons, "1:2:3:4:5:6:7:8"},
      {"1:2:3:4:5::6::", kSharedDoubleColons, "1:2:3:4:5:0:6:0"},
      {":2:3:4:5:6:7:8", kLeadingColon, "0:2:3:4:5:6:7:8"},
      {":2::8", kLeadingColon, "0:2::8"},
  };
  for (const Case& c : cases) {
    CBits ours{}, libc{}, meant{};
    EXPECT_FALSE(LibcParse(c.text, libc)) << c.text << ": inet_pton refuses (" << c.difference << ")";
    ASSERT_TRUE(OurParse(c.text, ours)) << c.text << " (" << c.difference << ")";
    ASSERT_TRUE(LibcParse(c.reading, meant)) << c.reading;
    EXPECT_EQ(ours, meant) << c.text << " reads as " << c.reading << " (" << c.difference << ")";
  }
}

}  // namespace
}  // namespace vantoric
