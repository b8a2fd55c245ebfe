#include "tests/win/support/system_source.h"

namespace vantoric::test {

CInjectedSystemFacts::CInjectedSystemFacts() {
  CSystemFactsSource source;
  source.m_readFacts = [this] {
    ++m_nReads;
    return m_facts;
  };
  SetSystemFactsSource(std::move(source));
}

CInjectedSystemFacts::~CInjectedSystemFacts() { SetSystemFactsSource({}); }

}  // namespace vantoric::test
