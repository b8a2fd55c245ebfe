// An application base that keeps one instance per desktop: a later start
// signals the running one, which brings its window to the front, and ends.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "framework/application.h"
#include "framework/handles.h"

namespace vantoric {

class CWinAppEx : public CApplication {
 public:
  using CApplication::CApplication;
  using CApplication::InitInstance;

  // The single-instance check for this process's command line. False when
  // another instance runs and has been signalled, or runs with other rights
  // and cannot be, which the user has been told: the caller must end.
  virtual bool InitInstance(std::string_view uniqueName);
  // The same for a given argument list (without the program name).
  bool InitInstance(std::string_view uniqueName, const std::vector<std::string>& args);

  bool PreTranslateMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
  // The running instance's answer to a later start. Returns true (consumed).
  virtual bool OnAnotherInstance(UINT msg, WPARAM wp, LPARAM lp);

  // Posts the check message to the running instance, with a file name atom
  // or 0. False only when the broadcast failed.
  bool BroadcastToFirstInstance(ATOM atom) const;
  // Holders of the TCB privilege may broadcast to every desktop.
  static bool EnableTcbPrivilege();

  UINT GetCheckInstanceMessage() const { return m_uCheckInstanceMsg; }
  // The file name that the last later start passed, if any.
  std::string GetLastAnotherInstanceFile() const;

 protected:
  UINT m_uCheckInstanceMsg = 0;

 private:
  CHandle m_hInstanceMutex;  // open for the life of the process: marks the running instance
  bool m_bTookOver = false;  // started by "Restart as administrator"
  std::string m_strAnotherInstanceFile;
};

}  // namespace vantoric
