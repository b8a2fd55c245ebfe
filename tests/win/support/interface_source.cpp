#include "tests/win/support/interface_source.h"

#include <windows.h>

namespace vantoric::test {

CInjectedInterfaceFacts::CInjectedInterfaceFacts() {
  CInterfaceFactsSource source;
  source.m_readSettings = [this](std::uint64_t interfaceId) {
    CInterfaceReading reading;
    const auto found = m_settings.find(interfaceId);
    if (m_bNotSupported) {
      reading.m_state = InterfaceReadState::NotSupported;
    } else if (found == m_settings.end()) {
      reading.m_nError = ERROR_NOT_FOUND;
    } else {
      reading.m_state = InterfaceReadState::Read;
      reading.m_settings = found->second;
    }
    return reading;
  };
  source.m_readNeighbors = [this] {
    ++m_nNeighborReads;
    if (!m_bNotSupported) return m_neighbors;
    CNeighborReading reading;
    reading.m_state = InterfaceReadState::NotSupported;
    return reading;
  };
  SetInterfaceFactsSource(std::move(source));
}

CInjectedInterfaceFacts::~CInjectedInterfaceFacts() { SetInterfaceFactsSource({}); }

}  // namespace vantoric::test
