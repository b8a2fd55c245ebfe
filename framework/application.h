// The application object: one per process, runs one modal dialog and keeps
// the per-user profile settings.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/profile.h"
#include "framework/window.h"

namespace vantoric {

class CApplication {
 public:
  explicit CApplication(std::string appName);
  CApplication(const CApplication&) = delete;
  CApplication& operator=(const CApplication&) = delete;
  virtual ~CApplication();

  static CApplication* Current();

  // Runs InitInstance, then ExitInstance; the process's exit code.
  int Run();

  // Returns false when the program should end (after its modal main dialog
  // has closed, or at once).
  virtual bool InitInstance() = 0;
  virtual int ExitInstance() { return 0; }
  // Sees the main window's messages before its handlers; true consumes one.
  virtual bool PreTranslateMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  // Profile integers go under HKCU\Software\<key>\<application name>.
  void SetRegistryKey(std::string_view key) { m_profile.SetRegistryKey(key); }
  const CProfile& GetProfile() const { return m_profile; }
  int GetProfileInt(std::string_view section, std::string_view entry, int nDefault) const {
    return m_profile.GetProfileInt(section, entry, nDefault);
  }
  bool WriteProfileInt(std::string_view section, std::string_view entry, int nValue) const {
    return m_profile.WriteProfileInt(section, entry, nValue);
  }

  const std::string& GetAppName() const { return m_profile.GetAppName(); }
  HWND GetMainWnd() const {
    return m_pMainWindow != nullptr ? m_pMainWindow->GetSafeHwnd() : m_hMainWnd;
  }
  void SetMainWnd(HWND hwnd) { m_hMainWnd = hwnd; }
  // Follows a window object whose HWND exists only while it runs (a modal
  // main dialog); takes precedence over SetMainWnd. nullptr forgets it.
  void SetMainWindow(const CWindow* pWindow) { m_pMainWindow = pWindow; }

 private:
  CProfile m_profile;
  HWND m_hMainWnd = nullptr;
  const CWindow* m_pMainWindow = nullptr;
};

}  // namespace vantoric
