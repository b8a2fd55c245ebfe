#include "core/interface_identifiers.h"

#include "framework/ascii_text.h"

#include <cstdio>

#include "core/adapter_records.h"
#include "core/address_names.h"

namespace vantoric {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

char HexDigit(int value) { return static_cast<char>(value < 10 ? '0' + value : 'a' + value - 10); }

}  // namespace

std::string GroupInBlocksOfFour(std::string_view text) {
  std::string grouped;
  grouped.reserve(text.size() + text.size() / 4);
  for (size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && i % 4 == 0) grouped += ':';
    grouped += text[i];
  }
  return grouped;
}

std::string MakeEui64IdentifierFromMacText(std::string_view macText) {
  std::string digits;
  int pairs = 0;
  size_t pos = 0;
  while (pos < macText.size()) {
    size_t end = macText.find('-', pos);
    if (end == std::string_view::npos) end = macText.size();
    digits += macText.substr(pos, end - pos);
    if (++pairs == 3) digits += "FFFE";
    pos = end + 1;
  }
  if (pairs < 3) digits += "FFFE";
  std::string grouped = GroupInBlocksOfFour(LowerAscii(digits));
  if (pairs > 0 && grouped.size() > 1) grouped[1] = HexDigit(HexValue(grouped[1]) ^ 2);
  return std::string(IDENTIFIER_PREFIX) + grouped;
}

std::string_view ChooseIdentifierFormat(std::string_view loaded) {
  if (loaded.size() != IDENTIFIER_FORMAT.size()) return IDENTIFIER_FORMAT;
  for (size_t i = 0; i < loaded.size(); ++i) {
    const char c = loaded[i];
    if (c != IDENTIFIER_FORMAT[i] && !(IDENTIFIER_FORMAT[i] == 'X' && c == 'x')) return IDENTIFIER_FORMAT;
  }
  return loaded;
}

std::string MakeIdentifierFromGuid(const CGuid& guid, std::string_view format) {
  // Null-terminated for the formatter; checked, so its conversions are the
  // three below.
  const std::string checked(ChooseIdentifierFormat(format));
  char digits[32];
  std::snprintf(digits, sizeof digits, checked.c_str(), static_cast<unsigned long>(guid.m_nData1),
                static_cast<unsigned>(guid.m_nData2), static_cast<unsigned>(guid.m_nData3));
  return std::string(IDENTIFIER_PREFIX) + GroupInBlocksOfFour(LowerAscii(digits));
}

int CAdapterRecord::FindRouterAdvertisedAddress(std::string& out) const {
  out = ALL_ZERO_ADDRESS;
  int found = 0;
  const std::string publicKind = GetAddressTypeName(ADDRTYPE_PUBLIC);
  const std::string preferred = GetAddressTypeName(ADDRSTATE_PREFERRED);
  // The last qualifying address wins.
  for (const CAddressRecord& address : m_addresses) {
    if (address.m_strKind == publicKind && address.m_strState == preferred && !address.m_strAddress.empty() &&
        ClassifyAddressText(address.m_strAddress) == ADDRCLASS_GLOBAL) {
      out = address.m_strAddress;
      found = 1;
    }
  }
  return found;
}

std::string CAdapterRecord::MakeEui64Identifier() const { return MakeEui64IdentifierFromMacText(GetMacText()); }

std::string CAdapterRecord::MakeRandomIdentifier(std::string_view format) {
  CreateUuid(m_guid);
  return MakeIdentifierFromGuid(m_guid, format);
}

}  // namespace vantoric
