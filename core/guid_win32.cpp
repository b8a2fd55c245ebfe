#include "core/guid_win32.h"

#include <windows.h>
#include <objbase.h>
#include <rpc.h>

#include <cstring>

#include "core/guid.h"
#include "framework/application.h"
#include "framework/message_box.h"

namespace vantoric {
namespace {

static_assert(sizeof(GUID) == sizeof(CGuid), "CGuid mirrors GUID");

void CopyGuid(const GUID& from, CGuid& to) {
  to.m_nData1 = from.Data1;
  to.m_nData2 = from.Data2;
  to.m_nData3 = from.Data3;
  std::memcpy(to.m_data4, from.Data4, sizeof to.m_data4);
}

void CreateGuidWin32(CGuid& guid) {
  GUID created{};
  // A failed call leaves the null GUID, which the record reports.
  if (FAILED(::CoCreateGuid(&created))) created = GUID{};
  CopyGuid(created, guid);
}

void CreateUuidWin32(CGuid& guid) {
  UUID created{};
  ::UuidCreate(&created);  // a local-only UUID is still good for an identifier
  CopyGuid(created, guid);
}

void ShowGuidMessageWin32(const std::string& text) {
  const CApplication* app = CApplication::Current();
  ShowMessage(app ? app->GetMainWnd() : nullptr, text, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void InstallWin32GuidServices() {
  CGuidServices services;
  services.m_pfnCreateGuid = CreateGuidWin32;
  services.m_pfnCreateUuid = CreateUuidWin32;
  services.m_pfnShowMessage = ShowGuidMessageWin32;
  SetGuidServices(services);
}

}  // namespace vantoric
