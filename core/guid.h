// A 16-byte GUID and the platform services that create one. The Windows side
// installs its generators and message box; portable builds (and native
// tests) fall back to random version-4 UUIDs and no message.
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

// Installs services; members left null use the portable defaults. Returns the
// services installed before, so that a caller can put them back.
CGuidServices SetGuidServices(const CGuidServices& services);
CGuidServices GetGuidServices();

// Fill a GUID through the installed (or default) generator.
void CreateGuid(CGuid& guid);
void CreateUuid(CGuid& guid);
void ShowGuidMessage(const std::string& text);

}  // namespace vantoric
