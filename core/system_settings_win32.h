// Reading the system-wide IPv6 settings from the management classes of the
// standard network namespace (root\StandardCimv2, Windows 6.2 and later)
// through COM, whose libraries are loaded from the system folder at first
// use. A class the system lacks (older Windows, Wine) is left unread: its
// settings are not known.
#pragma once

#include <functional>

#include "core/system_settings.h"

namespace vantoric {

// The source of the facts, the page's and the listing's one seam: tests
// install one that hands them settings. An empty function reads the system.
struct CSystemFactsSource {
  std::function<CSystemFacts()> m_readFacts;
};

// Installs a source; a default-constructed one restores the system's.
void SetSystemFactsSource(CSystemFactsSource source);

// MSFT_NetIPv6Protocol, MSFT_NetPrefixPolicy, MSFT_NetTeredoConfiguration,
// MSFT_NetISATAPConfiguration and MSFT_Net6to4Configuration, each read at
// this call (the active store's values where a class gives both stores).
CSystemFacts ReadSystemFacts();

}  // namespace vantoric
