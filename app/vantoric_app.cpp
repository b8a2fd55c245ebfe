#include "app/vantoric_app.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/list_command_win32.h"
#include "app/vantoric_dlg.h"
#include "framework/system_library.h"
#include "framework/command_line.h"

namespace vantoric {

CVantoricApp::CVantoricApp() : CWinAppEx("Vantoric") {}

bool CVantoricApp::InitInstance() {
  // A command for scripts answers without a window and without asking the
  // running instance anything.
  const CProgramCommand command = ParseProgramCommand(GetCommandLineArguments());
  if (command.m_command != ProgramCommand::Window) {
    m_nExitCode = RunProgramCommand(command);
    return false;
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);
  if (!CWinAppEx::InitInstance(VANTORIC_UNIQUE_NAME)) return false;
  SetRegistryKey(VANTORIC_REGISTRY_KEY);
  // The windows' accessible objects are COM objects that screen readers
  // call from their own processes: this thread is an apartment for them.
  // ole32 comes from the system folder, loaded here rather than imported.
  using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
  using CoUninitializeFn = void(WINAPI*)();
  const auto pfnInit = GetSystemFunction<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx");
  const auto pfnUninit = GetSystemFunction<CoUninitializeFn>(L"ole32.dll", "CoUninitialize");
  const bool bApartment = pfnInit != nullptr && pfnUninit != nullptr &&
                          SUCCEEDED(pfnInit(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  {
    CVantoricDlg dlg(&GetProfile());
    SetMainWindow(&dlg);
    dlg.DoModal(nullptr);
    SetMainWindow(nullptr);
  }
  if (bApartment) pfnUninit();
  return false;
}

}  // namespace vantoric
