#include "app/address_command_rules.h"

#include "core/address_names.h"

namespace vantoric {

const char NOT_SELECTED_MESSAGE[] = "You have not selected and item. Select one first.";
const char CANNOT_DELETE_MESSAGE[] = "Cannot delete address!";

bool IsRemovableKind(const std::string& kind) {
  return kind == GetAddressTypeName(ADDRTYPE_MANUAL) || kind == GetAddressTypeName(ADDRTYPE_TEMPORARY);
}

int FindAddressIndex(const CAdapterRecord& record, const std::string& address) {
  for (size_t i = 0; i < record.m_addresses.size(); ++i)
    if (record.m_addresses[i].m_strAddress == address) return static_cast<int>(i);
  return -1;
}

CEditGate CheckEditGate(const std::string& kind, const std::string& address, bool bInRecord,
                        bool bAddressSelected) {
  CEditGate gate;
  gate.m_bClearSelection = true;
  if (kind == GetAddressTypeName(ADDRTYPE_TEMPORARY)) {
    gate.m_strMessage = "You have selected a TEMPORARY ADDRESS. Address cannot be edited.";
    return gate;
  }
  if (kind == GetAddressTypeName(ADDRTYPE_PUBLIC)) {
    gate.m_strMessage = "You have selected a PUBLIC ADDRESS. Address cannot be edited.";
    return gate;
  }
  if (address.empty() || !bInRecord) {
    gate.m_strMessage = NOT_SELECTED_MESSAGE;
    return gate;
  }
  switch (ClassifyAddressText(address)) {
    case ADDRCLASS_LINK_LOCAL:
      gate.m_strMessage = "You have selected a LINK-LOCAL ADDRESS. Address cannot be edited.";
      return gate;
    case ADDRCLASS_SITE_LOCAL:
      gate.m_strMessage = "You have selected a SITE-LOCAL ADDRESS. Address cannot be edited.";
      return gate;
    case ADDRCLASS_LOOPBACK:
      gate.m_strMessage = "You have selected a LOOPBACK ADDRESS. Address cannot be edited.";
      return gate;
    default:
      break;
  }
  gate.m_bClearSelection = false;
  if (!bAddressSelected) {
    gate.m_strMessage = NOT_SELECTED_MESSAGE;
    return gate;
  }
  gate.m_bOpen = true;
  return gate;
}

int FindAdapterEntry(const std::vector<std::string>& names, const std::string& friendlyName) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == friendlyName) return static_cast<int>(i);
  return 0;
}

}  // namespace vantoric
