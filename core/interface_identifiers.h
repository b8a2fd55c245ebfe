// The two halves of a composed address: the router-advertised prefix and an
// interface identifier, either modified EUI-64 from the MAC address or random.
// The operations themselves are CAdapterRecord's; these are their text rules.
#pragma once

#include <string>
#include <string_view>

#include "core/guid.h"

namespace vantoric {

// The text when no router-advertised address is found.
constexpr std::string_view ALL_ZERO_ADDRESS = "0000:0000:0000:0000:0000:0000:0000:0000";
// Identifier texts begin with these four zero groups, so that the address
// control keeps the prefix's groups 1 to 4.
constexpr std::string_view IDENTIFIER_PREFIX = "0000:0000:0000:0000:";

// Inserts ":" before each new block of four characters (000c29ff -> 000c:29ff).
std::string GroupInBlocksOfFour(std::string_view text);

// The identifier text of a MAC text (00-0C-29-AB-CD-EF): the first three
// pairs, FFFE, the rest, in lower case, grouped, with the universal/local bit
// of the first byte inverted (RFC 4291, appendix A). Without pairs there is no
// first byte and nothing is inverted.
std::string MakeEui64IdentifierFromMacText(std::string_view macText);

// How the GUID's fields become the identifier's digits: the program's
// string resource 103 holds this text.
constexpr std::string_view IDENTIFIER_FORMAT = "%08lX%04X%04X";

// The format text from the resource when it formats the three fields as
// IDENTIFIER_FORMAT does (upper- or lower-case digits), else IDENTIFIER_FORMAT:
// a resource text never reaches the formatter unchecked.
std::string_view ChooseIdentifierFormat(std::string_view loaded);

// The identifier text of a GUID's first three fields (Data1, Data2, Data3 as
// 8, 4 and 4 hexadecimal digits); the universal/local bit stays as it is.
// `format` is checked with ChooseIdentifierFormat.
std::string MakeIdentifierFromGuid(const CGuid& guid, std::string_view format = IDENTIFIER_FORMAT);

}  // namespace vantoric
