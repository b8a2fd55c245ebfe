// The application object of Vantoric: one instance per desktop, running the
// main window as a modal dialog.
#pragma once

#include "app/win_app_ex.h"

namespace vantoric {

// Names both the single-instance mutex and the message a later start sends.
constexpr char VANTORIC_UNIQUE_NAME[] = "{A004B9F9-9A02-4331-921F-F0018581BD17}";
// The registry key under which the per-user profile lives.
constexpr char VANTORIC_REGISTRY_KEY[] = "Local AppWizard-Generated Applications";

class CVantoricApp : public CWinAppEx {
 public:
  CVantoricApp();
  // Runs the main window, or a /list or /? command without one; always
  // false, so that the program ends after it.
  bool InitInstance() override;
  // The command's exit code; 0 after the window.
  int ExitInstance() override { return m_nExitCode; }

 private:
  int m_nExitCode = 0;
};

}  // namespace vantoric
