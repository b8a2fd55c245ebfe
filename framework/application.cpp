#include "framework/application.h"

#include <shellapi.h>

#include "framework/utf8.h"

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

std::string CApplication::GetArguments() {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::string args;
  for (int i = 1; argv != nullptr && i < argc; ++i) {
    if (!args.empty()) args += ' ';
    args += Narrow(argv[i]);
  }
  if (argv != nullptr) ::LocalFree(argv);
  return args;
}

}  // namespace vantoric
