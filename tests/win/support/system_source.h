// System settings for tests: while a CInjectedSystemFacts lives, the System
// page and /list read the facts that the test sets instead of the
// management classes'.
#pragma once

#include <utility>

#include "core/system_settings_win32.h"

namespace vantoric::test {

// Installs itself as the source; the destructor restores the system's. It
// starts with nothing read (every setting "Not known"). One at a time.
class CInjectedSystemFacts {
 public:
  CInjectedSystemFacts();
  ~CInjectedSystemFacts();
  CInjectedSystemFacts(const CInjectedSystemFacts&) = delete;
  CInjectedSystemFacts& operator=(const CInjectedSystemFacts&) = delete;

  void SetFacts(CSystemFacts facts) { m_facts = std::move(facts); }
  // How often the facts were read.
  int Reads() const { return m_nReads; }

 private:
  CSystemFacts m_facts;
  int m_nReads = 0;
};

}  // namespace vantoric::test
