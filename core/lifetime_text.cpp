#include "core/lifetime_text.h"

#include <cstdio>

#include "framework/ascii_text.h"

namespace vantoric {
namespace {

constexpr std::string_view UNIT_LETTERS = "DHMSdhms";
constexpr std::string_view DIGITS = "1234567890";

bool IsDigit(char c) { return DIGITS.find(c) != std::string_view::npos; }
bool IsUnit(char c) { return UNIT_LETTERS.find(c) != std::string_view::npos; }


// Units in the order they must be written; a unit may not follow one of a
// higher rank.
int UnitRank(char unit) {
  switch (LowerAscii(unit)) {
    case 'd': return 0;
    case 'h': return 1;
    case 'm': return 2;
    default: return 3;
  }
}

std::uint64_t SaturatingMulAdd(std::uint64_t value, std::uint64_t factor, std::uint64_t addend) {
  if (value > (LIFETIME_OVERFLOW - addend) / factor) return LIFETIME_OVERFLOW;
  return value * factor + addend;
}

// A number as the C library's unsigned conversion reads it, saturating
// instead of wrapping. A negative number is no lifetime at all, so it counts
// as overflow rather than as a wrapped-around small value.
std::uint64_t ReadNumber(std::string_view token) {
  const CLeadingNumber number = ReadLeadingNumber(token, LIFETIME_OVERFLOW);
  return (number.m_bNegative && number.m_nMagnitude != 0) ? LIFETIME_OVERFLOW : number.m_nMagnitude;
}

}  // namespace

bool IsInfiniteLifetime(std::string_view text) {
  constexpr std::string_view keyword = "infinite";
  if (text.size() != keyword.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (LowerAscii(text[i]) != keyword[i]) return false;
  }
  return true;
}

std::string FormatLifetime(std::uint32_t seconds) {
  if (seconds / 86400 >= 365) return "infinite";
  return FormatExactLifetime(seconds);
}

std::string FormatExactLifetime(std::uint32_t seconds) {
  if (seconds == INFINITE_LIFETIME) return "infinite";
  const unsigned s = seconds % 60;
  const unsigned m = (seconds / 60) % 60;
  const unsigned h = (seconds / 3600) % 24;
  const unsigned d = seconds / 86400;
  char text[48];
  if (d > 0)
    std::snprintf(text, sizeof text, "%ud%uh%um%us", d, h, m, s);
  else if (h > 0)
    std::snprintf(text, sizeof text, "%uh%um%us", h, m, s);
  else if (m > 0)
    std::snprintf(text, sizeof text, "%um%us", m, s);
  else
    std::snprintf(text, sizeof text, "%us", s);
  return text;
}

bool IsLifetimeTextAcceptable(std::string_view text) {
  if (text.find_first_of(UNIT_LETTERS) == std::string_view::npos) return false;
  // A trailing number without its unit would be read as seconds with an
  // extra digit (5m30 as 5m300s), so the text must end in a unit letter.
  if (IsDigit(text.back())) return false;
  int lastRank = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) continue;
    if (!IsUnit(c)) return false;
    // Numbers count by position, so a unit used twice, in either case,
    // would shift them (1d2D would read as five numbers).
    for (size_t j = i + 1; j < text.size(); ++j)
      if (LowerAscii(text[j]) == LowerAscii(c)) return false;
    if (i == 0 || !IsDigit(text[i - 1])) return false;
    if (i + 1 < text.size() && !IsDigit(text[i + 1])) return false;
    const int rank = UnitRank(c);
    if (rank < lastRank) return false;
    lastRank = rank;
  }
  return LifetimeToSeconds(text) <= MAX_FINITE_LIFETIME;
}

std::uint64_t LifetimeToSeconds(std::string_view text) {
  std::string work(text);
  for (char& c : work) c = LowerAscii(c);
  if (work.find('d') == std::string::npos) work.insert(0, "0d");
  if (work.find('h') == std::string::npos) work.insert(work.find('d') + 1, "0h");
  if (work.find('m') == std::string::npos) work.insert(work.find('h') + 1, "0m");
  if (work.find('s') == std::string::npos) work += "0s";

  std::uint64_t numbers[4] = {0, 0, 0, 0};
  size_t count = 0;
  size_t pos = 0;
  while (pos < work.size()) {
    const size_t end = work.find_first_of(UNIT_LETTERS, pos);
    const std::string_view token =
        std::string_view(work).substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (!token.empty()) {
      if (count == 4) return 0;
      numbers[count++] = ReadNumber(token);
    }
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  std::uint64_t total = numbers[0];
  total = SaturatingMulAdd(total, 24, numbers[1]);
  total = SaturatingMulAdd(total, 60, numbers[2]);
  return SaturatingMulAdd(total, 60, numbers[3]);
}

bool IsLifetimeOrderValid(std::string_view validLifetime, std::string_view preferredLifetime) {
  if (IsInfiniteLifetime(validLifetime)) return true;
  if (IsInfiniteLifetime(preferredLifetime)) return false;
  return LifetimeToSeconds(validLifetime) >= LifetimeToSeconds(preferredLifetime);
}

}  // namespace vantoric
