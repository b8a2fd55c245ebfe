#include "app/vantoric_app.h"

#include <windows.h>
#include <commctrl.h>

#include "app/list_command_win32.h"
#include "app/vantoric_dlg.h"
#include "core/history_log_win32.h"
#include "framework/accessible_object.h"
#include "framework/command_line.h"
#include "framework/message_box.h"

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
  // A history log that is full and cannot be moved aside is told once, over
  // whichever window ran the command.
  SetHistoryLogNotice([](const std::string& text) { ShowMessage(::GetActiveWindow(), text, MB_OK | MB_ICONWARNING); });
  {
    CVantoricDlg dlg(&GetProfile());
    SetMainWindow(&dlg);
    dlg.DoModal(nullptr);
    SetMainWindow(nullptr);
  }
  LeaveAccessibleApartment();
  return false;
}

}  // namespace vantoric
