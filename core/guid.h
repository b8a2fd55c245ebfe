// A 16-byte GUID and the services that create one. The platform's services
// are chosen when the program is linked: guid_win32.cpp (the system's GUID
// generators and a message box) on Windows, guid_portable.cpp (random
// version-4 UUIDs, no message) elsewhere. Tests may put their own in place.
#pragma once

#include <cstdint>
#include <string>

namespace vantoric {

class CGuid {
 public:
  bool IsNull() const;
  bool operator==(const CGuid& other) const;

  std::uint32_t m_nData1 = 0;
  std::uint16_t m_nData2 = 0;
  std::uint16_t m_nData3 = 0;
  std::uint8_t m_data4[8] = {};
};

using GuidGenerator = void (*)(CGuid& guid);
using MessageSink = void (*)(const std::string& text);

class CGuidServices {
 public:
  GuidGenerator m_pfnCreateGuid = nullptr;  // a record's own GUID
  GuidGenerator m_pfnCreateUuid = nullptr;  // the source of random identifiers
  MessageSink m_pfnShowMessage = nullptr;   // tells the user the GUID failed
};

// Puts services in place; members left null use the platform's. Returns the
// services in place before, so that a caller can put them back.
CGuidServices SetGuidServices(const CGuidServices& services);
CGuidServices GetGuidServices();

// Fill a GUID through the services in place (or the platform's).
void CreateGuid(CGuid& guid);
void CreateUuid(CGuid& guid);
void ShowGuidMessage(const std::string& text);

// The platform's services, defined by the one platform source linked.
void PlatformCreateGuid(CGuid& guid);
void PlatformCreateUuid(CGuid& guid);
void PlatformShowGuidMessage(const std::string& text);

}  // namespace vantoric
