// The floor of the start-up benchmark: the work that a program showing the
// adapters cannot skip, done on the main window's template by a trivial
// program. One query of the adapter list (GetAdaptersAddresses of the system
// folder's iphlpapi, loaded at its first use as Vantoric loads it), the
// chooser filled with the adapters' names, and the address list with the
// IPv6 addresses of the adapter shown first (the first Ethernet adapter,
// else the first), five texts a row. Nothing else: no profile, no sorting,
// no records kept.
#pragma once

#include <windows.h>

namespace vantoric::bench {

// Reads the adapters once and fills the template's chooser and address list.
void FillFromAdapters(HWND dialog);

}  // namespace vantoric::bench
