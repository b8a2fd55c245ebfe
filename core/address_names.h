// Kind and state words of an address and the prefix classes of address text.
// Callers compare stored kind and state texts with these words byte for byte,
// so the texts are part of the interface.
#pragma once

#include <string>
#include <string_view>

namespace vantoric {

// Codes of GetAddressTypeName.
constexpr int ADDRTYPE_MANUAL = 100;
constexpr int ADDRTYPE_PUBLIC = 101;
constexpr int ADDRTYPE_TEMPORARY = 102;
constexpr int ADDRTYPE_LINK_LOCAL = 103;
constexpr int ADDRTYPE_LOOPBACK = 104;
constexpr int ADDRTYPE_SITE_LOCAL = 105;
// Duplicate-address-detection states: the OS's DAD state plus 110.
constexpr int ADDRSTATE_INVALID = 110;
constexpr int ADDRSTATE_TENTATIVE = 111;
constexpr int ADDRSTATE_DUPLICATE = 112;
constexpr int ADDRSTATE_DEPRECATED = 113;
constexpr int ADDRSTATE_PREFERRED = 114;

// Results of ClassifyAddressText.
constexpr int ADDRCLASS_GLOBAL = 1;
constexpr int ADDRCLASS_LINK_LOCAL = 16;
constexpr int ADDRCLASS_SITE_LOCAL = 17;
constexpr int ADDRCLASS_LOOPBACK = 18;

// The OS's prefix and suffix origin values of a unicast address.
constexpr int PREFIX_ORIGIN_MANUAL = 1;
constexpr int PREFIX_ORIGIN_WELL_KNOWN = 2;
constexpr int PREFIX_ORIGIN_DHCP = 3;
constexpr int PREFIX_ORIGIN_ROUTER_ADVERTISEMENT = 4;
constexpr int SUFFIX_ORIGIN_MANUAL = 1;
constexpr int SUFFIX_ORIGIN_WELL_KNOWN = 2;
constexpr int SUFFIX_ORIGIN_DHCP = 3;
constexpr int SUFFIX_ORIGIN_LINK_LAYER_ADDRESS = 4;
constexpr int SUFFIX_ORIGIN_RANDOM = 5;

// The word of a kind or state code; "Error" for any other code.
std::string GetAddressTypeName(int code);

// The class of address text from its first three characters: fe80::/10 is
// link-local, fec0::/10 site-local, text beginning "::" loopback, all else
// (empty text and upper-case text included) global. Only the lower-case form
// that the socket library prints matches.
int ClassifyAddressText(std::string_view text);

// The kind of a snapshot address from its origins; empty for pairs that name
// no kind (DHCP, "other", mixed manual ones).
std::string KindFromOrigins(int prefixOrigin, int suffixOrigin);

// The state word of a DAD state 0 to 4; empty for any other value.
std::string DadStateName(int dadState);

// The kind of an address added by hand, from its text's class.
std::string KindFromAddressText(std::string_view text);

}  // namespace vantoric
