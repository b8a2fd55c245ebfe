// GUID services for builds without the Windows ones: random version-4 UUIDs
// (RFC 4122) and no message, as there is no window to show one in.
#include <random>

#include "core/guid.h"

namespace vantoric {
namespace {

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

void PlatformCreateGuid(CGuid& guid) { CreateRandomGuid(guid); }
void PlatformCreateUuid(CGuid& guid) { CreateRandomGuid(guid); }
void PlatformShowGuidMessage(const std::string&) {}

}  // namespace vantoric
