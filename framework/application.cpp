#include "framework/application.h"

namespace vantoric {

namespace {
CApplication* g_pApp = nullptr;
}

CApplication::CApplication(std::string appName) {
  m_profile.SetAppName(appName);
  g_pApp = this;
}

CApplication::~CApplication() {
  if (g_pApp == this) g_pApp = nullptr;
}

CApplication* CApplication::Current() { return g_pApp; }

int CApplication::Run() {
  InitInstance();
  return ExitInstance();
}

bool CApplication::PreTranslateMessage(HWND, UINT, WPARAM, LPARAM) { return false; }

}  // namespace vantoric
