#include "tests/win/support/netsh_standin_support.h"

#include <fstream>
#include <iterator>

#include "framework/utf8.h"

namespace vantoric::test {

namespace {

const wchar_t* const kVariables[] = {L"VANTORIC_NETSH_LOG", L"VANTORIC_NETSH_ANSWER", L"VANTORIC_NETSH_STDERR",
                                     L"VANTORIC_NETSH_EXIT", L"VANTORIC_NETSH_HANG_MS", L"VANTORIC_NETSH_ONLY_FOR"};

void SetVariable(const wchar_t* name, std::string_view value) {
  ::SetEnvironmentVariableW(name, Widen(value).c_str());
}

}  // namespace

CNetshStandin::CNetshStandin(std::string_view name) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  m_strLogPath = std::wstring(temp) + L"vantoric-netsh-" + Widen(name) + L"-" +
                 std::to_wstring(::GetCurrentProcessId()) + L".log";
  for (const wchar_t* variable : kVariables) ::SetEnvironmentVariableW(variable, nullptr);
  ::SetEnvironmentVariableW(L"VANTORIC_NETSH_LOG", m_strLogPath.c_str());
  ClearLog();
}

CNetshStandin::~CNetshStandin() {
  for (const wchar_t* variable : kVariables) ::SetEnvironmentVariableW(variable, nullptr);
  ClearLog();
}

void CNetshStandin::SetAnswer(std::string_view text) { SetVariable(L"VANTORIC_NETSH_ANSWER", text); }
void CNetshStandin::SetErrorText(std::string_view text) { SetVariable(L"VANTORIC_NETSH_STDERR", text); }
void CNetshStandin::SetExitCode(DWORD code) { SetVariable(L"VANTORIC_NETSH_EXIT", std::to_string(code)); }
void CNetshStandin::SetHangMs(DWORD ms) { SetVariable(L"VANTORIC_NETSH_HANG_MS", std::to_string(ms)); }
void CNetshStandin::SetOnlyFor(std::string_view text) { SetVariable(L"VANTORIC_NETSH_ONLY_FOR", text); }

std::string CNetshStandin::ReadLog() const {
  // Binary: the CR LF line ends are part of what is checked.
  std::ifstream file(m_strLogPath.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool CNetshStandin::LogExists() const { return ::GetFileAttributesW(m_strLogPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

void CNetshStandin::ClearLog() { ::DeleteFileW(m_strLogPath.c_str()); }

bool CNetshStandin::WaitForLog(std::string_view text, DWORD timeoutMs) const {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (ReadLog().find(text) != std::string::npos) return true;
    if (::GetTickCount64() >= end) return false;
    ::Sleep(20);
  }
}

std::string CNetshStandin::InteractiveCall() { return "cmdline: \"" + NetshPath() + "\"\r\n"; }

std::string CNetshStandin::RunLog(const std::string& line, DWORD exitCode) {
  return "cmdline: \"" + NetshPath() + "\" " + line + "\r\nexit: " + std::to_string(exitCode) + "\r\n";
}

std::string CNetshStandin::NetshPath() {
  wchar_t dir[MAX_PATH] = {};
  ::GetSystemDirectoryW(dir, MAX_PATH);
  return Narrow(dir) + "\\netsh.exe";
}

}  // namespace vantoric::test
