#include "tests/win/support/netsh_standin_support.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "framework/utf8.h"
#include "tools/netsh_standin_marker.h"

namespace vantoric::test {

namespace {

// The test that the last guard let run.
const ::testing::TestInfo* g_pGuardedTest = nullptr;

bool IsWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// GTEST_SKIP and FAIL return from the function they are in, which may not
// be a constructor.
void SkipUnlessStandin() {
  std::string why;
  if (IsNetshStandinInstalled(why)) {
    g_pGuardedTest = ::testing::UnitTest::GetInstance()->current_test_info();
    return;
  }
  if (IsWine()) FAIL() << why << " (the test set-up installs it in the Wine prefix)";
  GTEST_SKIP() << why << ": this test would change this machine's network configuration";
}

void FailUnlessGuarded() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  if (test != nullptr && test != g_pGuardedTest)
    FAIL() << "the netsh stand-in is driven by a test whose fixture holds no CNetshStandinGuard";
}

const wchar_t* const kVariables[] = {L"VANTORIC_NETSH_LOG",     L"VANTORIC_NETSH_ANSWER", L"VANTORIC_NETSH_STDERR",
                                     L"VANTORIC_NETSH_EXIT",    L"VANTORIC_NETSH_EXITS",  L"VANTORIC_NETSH_HANG_MS",
                                     L"VANTORIC_NETSH_ONLY_FOR"};

void SetVariable(const wchar_t* name, std::string_view value) {
  ::SetEnvironmentVariableW(name, Widen(value).c_str());
}

}  // namespace

bool IsNetshStandinInstalled(std::string& why) {
  const std::string path = CNetshStandin::NetshPath();
  const HMODULE module = ::LoadLibraryExW(Widen(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) {
    why = "the system netsh (" + path + ") could not be read (error " + std::to_string(::GetLastError()) + ")";
    return false;
  }
  const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(VANTORIC_NETSH_STANDIN_RESOURCE), RT_RCDATA);
  const HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  constexpr char kMarker[] = VANTORIC_NETSH_STANDIN_MARKER;
  const bool marked = data != nullptr && ::SizeofResource(module, resource) == sizeof kMarker - 1 &&
                      std::memcmp(data, kMarker, sizeof kMarker - 1) == 0;
  ::FreeLibrary(module);
  if (!marked) why = "the system netsh (" + path + ") is not the recording netsh stand-in";
  return marked;
}

CNetshStandinGuard::CNetshStandinGuard() { SkipUnlessStandin(); }

CNetshStandin::CNetshStandin(std::string_view name) {
  FailUnlessGuarded();
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
void CNetshStandin::SetExitCodes(const std::vector<DWORD>& codes) {
  std::string list;
  for (DWORD code : codes) list += (list.empty() ? "" : ",") + std::to_string(code);
  SetVariable(L"VANTORIC_NETSH_EXITS", list);
}
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
