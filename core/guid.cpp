#include "core/guid.h"

#include <cstring>
#include <random>

namespace vantoric {
namespace {

CGuidServices g_services;

// A random version-4 UUID (RFC 4122) for builds without the platform's.
void CreateRandomGuid(CGuid& guid) {
  static std::mt19937_64 engine{std::random_device{}()};
  const std::uint64_t high = engine();
  const std::uint64_t low = engine();
  guid.m_nData1 = static_cast<std::uint32_t>(high >> 32);
  guid.m_nData2 = static_cast<std::uint16_t>(high >> 16);
  guid.m_nData3 = static_cast<std::uint16_t>((high & 0x0FFF) | 0x4000);
  for (int i = 0; i < 8; ++i) guid.m_data4[i] = static_cast<std::uint8_t>(low >> (8 * i));
  guid.m_data4[0] = static_cast<std::uint8_t>((guid.m_data4[0] & 0x3F) | 0x80);
}

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

void CreateGuid(CGuid& guid) { (g_services.m_pfnCreateGuid ? g_services.m_pfnCreateGuid : CreateRandomGuid)(guid); }

void CreateUuid(CGuid& guid) { (g_services.m_pfnCreateUuid ? g_services.m_pfnCreateUuid : CreateRandomGuid)(guid); }

void ShowGuidMessage(const std::string& text) {
  if (g_services.m_pfnShowMessage) g_services.m_pfnShowMessage(text);
}

}  // namespace vantoric
