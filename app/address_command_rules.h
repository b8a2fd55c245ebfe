// What the main window's Remove and Edit buttons decide before anything runs:
// which address kinds may be removed, and the edit gate with its refusals.
// Portable.
#pragma once

#include <string>
#include <vector>

#include "core/adapter_records.h"

namespace vantoric {

// "You have not selected and item. Select one first."
extern const char NOT_SELECTED_MESSAGE[];
// "Cannot delete address!"
extern const char CANNOT_DELETE_MESSAGE[];

// Only addresses added by hand ("Manual") and temporary ones can be removed.
bool IsRemovableKind(const std::string& kind);

// The 0-based position of the address whose text is `address` in the
// record, or -1. The window's selection is only a text: after a refresh or a
// change of adapter it may name no address of the current record.
int FindAddressIndex(const CAdapterRecord& record, const std::string& address);

struct CEditGate {
  bool m_bOpen = false;            // the Address Properties dialog may open
  std::string m_strMessage;        // the refusal, shown with the exclamation icon
  bool m_bClearSelection = false;  // the refusal also clears the selection
};

// The edit gate: the kind refuses temporary and public addresses before the
// text is looked at; then the text refuses link-local, site-local and
// loopback addresses; an empty text, or an address the current record does
// not hold, is no selection. A global address opens the dialog only while
// an address is selected.
CEditGate CheckEditGate(const std::string& kind, const std::string& address, bool bInRecord,
                        bool bAddressSelected);

// The chooser entry to select after a new snapshot: the adapter of the same
// friendly name, or entry 0 when it is gone.
int FindAdapterEntry(const std::vector<std::string>& names, const std::string& friendlyName);

}  // namespace vantoric
