// The Windows GUID services: CoCreateGuid for a record's GUID, UuidCreate
// for random identifiers, a message box for a null GUID. ole32 and the RPC
// runtime are loaded at the first GUID, not when the program starts.
#include <windows.h>
#include <rpc.h>

#include <cstring>

#include "core/guid.h"
#include "framework/application.h"
#include "framework/message_box.h"
#include "framework/system_library.h"

namespace vantoric {
namespace {

static_assert(sizeof(GUID) == sizeof(CGuid), "CGuid mirrors GUID");

void CopyGuid(const GUID& from, CGuid& to) {
  to.m_nData1 = from.Data1;
  to.m_nData2 = from.Data2;
  to.m_nData3 = from.Data3;
  std::memcpy(to.m_data4, from.Data4, sizeof to.m_data4);
}

}  // namespace

void PlatformCreateGuid(CGuid& guid) {
  using CoCreateGuidFn = HRESULT(WINAPI*)(GUID*);
  static const auto pfnCoCreateGuid = GetSystemFunction<CoCreateGuidFn>(L"ole32.dll", "CoCreateGuid");
  GUID created{};
  // A failed call (or no ole32) leaves the null GUID, which the record reports.
  if (pfnCoCreateGuid == nullptr || FAILED(pfnCoCreateGuid(&created))) created = GUID{};
  CopyGuid(created, guid);
}

void PlatformCreateUuid(CGuid& guid) {
  using UuidCreateFn = RPC_STATUS(RPC_ENTRY*)(UUID*);
  static const auto pfnUuidCreate = GetSystemFunction<UuidCreateFn>(L"rpcrt4.dll", "UuidCreate");
  UUID created{};
  // A local-only UUID is still good for an identifier.
  if (pfnUuidCreate != nullptr) pfnUuidCreate(&created);
  CopyGuid(created, guid);
}

void PlatformShowGuidMessage(const std::string& text) {
  const CApplication* app = CApplication::Current();
  ShowMessage(app ? app->GetMainWnd() : nullptr, text, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace vantoric
