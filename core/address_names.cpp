#include "core/address_names.h"

namespace vantoric {

std::string GetAddressTypeName(int code) {
  switch (code) {
    case ADDRTYPE_MANUAL: return "Manual";
    case ADDRTYPE_PUBLIC: return "Public";
    case ADDRTYPE_TEMPORARY: return "Temporary";
    case ADDRTYPE_LINK_LOCAL: return "Link-Local";
    case ADDRTYPE_LOOPBACK: return "Loopback";
    case ADDRTYPE_SITE_LOCAL: return "Site-Local";
    case ADDRSTATE_INVALID: return "Invalid";
    case ADDRSTATE_TENTATIVE: return "Tentative";
    case ADDRSTATE_DUPLICATE: return "Duplicate";
    case ADDRSTATE_DEPRECATED: return "Deprecated";
    case ADDRSTATE_PREFERRED: return "Preferred";
    default: return "Error";
  }
}

int ClassifyAddressText(std::string_view text) {
  if (text.size() >= 3 && text[0] == 'f' && text[1] == 'e') {
    switch (text[2]) {
      case '8': case '9': case 'a': case 'b': return ADDRCLASS_LINK_LOCAL;
      case 'c': case 'd': case 'e': case 'f': return ADDRCLASS_SITE_LOCAL;
      default: break;
    }
  }
  if (text.substr(0, 2) == "::") return ADDRCLASS_LOOPBACK;
  return ADDRCLASS_GLOBAL;
}

std::string KindFromOrigins(int prefixOrigin, int suffixOrigin) {
  if (prefixOrigin == PREFIX_ORIGIN_MANUAL && suffixOrigin == SUFFIX_ORIGIN_MANUAL)
    return GetAddressTypeName(ADDRTYPE_MANUAL);
  if (prefixOrigin == PREFIX_ORIGIN_ROUTER_ADVERTISEMENT) {
    if (suffixOrigin == SUFFIX_ORIGIN_LINK_LAYER_ADDRESS) return GetAddressTypeName(ADDRTYPE_PUBLIC);
    if (suffixOrigin == SUFFIX_ORIGIN_RANDOM) return GetAddressTypeName(ADDRTYPE_TEMPORARY);
  }
  if (prefixOrigin == PREFIX_ORIGIN_WELL_KNOWN) {
    if (suffixOrigin == SUFFIX_ORIGIN_LINK_LAYER_ADDRESS) return GetAddressTypeName(ADDRTYPE_LINK_LOCAL);
    if (suffixOrigin == SUFFIX_ORIGIN_WELL_KNOWN) return GetAddressTypeName(ADDRTYPE_LOOPBACK);
  }
  return {};
}

std::string DadStateName(int dadState) {
  if (dadState < 0 || dadState > ADDRSTATE_PREFERRED - ADDRSTATE_INVALID) return {};
  return GetAddressTypeName(ADDRSTATE_INVALID + dadState);
}

std::string KindFromAddressText(std::string_view text) {
  switch (ClassifyAddressText(text)) {
    case ADDRCLASS_LINK_LOCAL: return GetAddressTypeName(ADDRTYPE_LINK_LOCAL);
    case ADDRCLASS_SITE_LOCAL: return GetAddressTypeName(ADDRTYPE_SITE_LOCAL);
    case ADDRCLASS_LOOPBACK: return GetAddressTypeName(ADDRTYPE_LOOPBACK);
    default: return GetAddressTypeName(ADDRTYPE_MANUAL);
  }
}

}  // namespace vantoric
