#include "core/guid.h"

#include <cstring>

namespace vantoric {
namespace {

// The test seam: empty, the platform's services answer.
CGuidServices g_services;

}  // namespace

bool CGuid::IsNull() const { return *this == CGuid(); }

bool CGuid::operator==(const CGuid& other) const {
  return m_nData1 == other.m_nData1 && m_nData2 == other.m_nData2 && m_nData3 == other.m_nData3 &&
         std::memcmp(m_data4, other.m_data4, sizeof m_data4) == 0;
}

CGuidServices SetGuidServices(const CGuidServices& services) {
  const CGuidServices previous = g_services;
  g_services = services;
  return previous;
}

CGuidServices GetGuidServices() { return g_services; }

void CreateGuid(CGuid& guid) { (g_services.m_pfnCreateGuid ? g_services.m_pfnCreateGuid : PlatformCreateGuid)(guid); }

void CreateUuid(CGuid& guid) { (g_services.m_pfnCreateUuid ? g_services.m_pfnCreateUuid : PlatformCreateUuid)(guid); }

void ShowGuidMessage(const std::string& text) {
  (g_services.m_pfnShowMessage ? g_services.m_pfnShowMessage : PlatformShowGuidMessage)(text);
}

}  // namespace vantoric
