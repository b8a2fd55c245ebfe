// A recording stand-in for the system's netsh.exe, for tests only. Installed
// as the test prefix's system32\netsh.exe, it records how it was called and
// answers as it is told, but only to commands in netsh's documented syntax
// (netsh_grammar.h): any other line gets netsh's message for a bad command
// instead of the answer, and the run ends with exit code 1 (netsh's exit
// code for it is not documented).
//
// It appends to its log (UTF-8):
//   cmdline: <its command line>
//   stdin: <each line read on standard input, decoded from the console's
//          input code page, with its own line end kept>
//   refused: <the first line of netsh's message>   (after a refused command)
//   eof                      (when its input ended)
//   exit: <exit code>
// Started with arguments it answers once and exits; without arguments it
// reads its input to the end like an interactive netsh and answers after
// every non-empty line. Its resource netsh_standin.rc tells the tests that
// it is the stand-in.
//
// Settings, from environment variables, or else from the file
// netsh_standin.cfg beside it (lines NAME=VALUE):
//   VANTORIC_NETSH_LOG      log path (default: netsh_standin.log beside it)
//   VANTORIC_NETSH_ANSWER   text for standard output; \n \r \t \\ are escapes
//                           (default: "Ok." and a blank line when the exit
//                           code is 0, as the real netsh answers a command
//                           that succeeded)
//   VANTORIC_NETSH_STDERR   text for standard error, same escapes
//   VANTORIC_NETSH_EXIT     exit code (default 0)
//   VANTORIC_NETSH_EXITS    exit codes of the runs in turn, separated by
//                           commas: the first for the log's first call, and
//                           so on; a run past the list takes VANTORIC_NETSH_EXIT
//   VANTORIC_NETSH_HANG_MS  sleep this long before reading input or answering
//   VANTORIC_NETSH_ONLY_FOR when set, the answer, error text and exit code
//                           above are for a command line (or input line)
//                           that holds this text; any other is answered as
//                           a command that succeeded (so that a test can
//                           fail one command of several)
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <fstream>
#include <string>

#include "tools/netsh_grammar.h"

namespace {

// A run in which netsh's syntax refused a command.
constexpr DWORD REFUSED_EXIT_CODE = 1;
bool g_bRefused = false;
// The exit code of the first command answered with one (see
// VANTORIC_NETSH_ONLY_FOR); 0 when none was.
DWORD g_nAnsweredExit = 0;

std::wstring ExeDirectory() {
  wchar_t path[MAX_PATH] = {};
  const DWORD len = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, len);
  const size_t slash = dir.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash + 1);
}

std::string ToUtf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FromCodePage(UINT cp, const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string ToCodePage(UINT cp, const std::wstring& w) {
  if (w.empty()) return {};
  const int n = ::WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// A setting from the environment, else from the file beside the program.
std::wstring Setting(const wchar_t* name) {
  wchar_t buffer[32768];
  const DWORD len = ::GetEnvironmentVariableW(name, buffer, 32768);
  if (len > 0 && len < 32768) return std::wstring(buffer, len);
  const std::wstring cfg = ExeDirectory() + L"netsh_standin.cfg";
  std::ifstream file(cfg.c_str(), std::ios::binary);
  const std::string prefix = ToUtf8(name) + "=";
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, prefix.size(), prefix) == 0) return FromCodePage(CP_UTF8, line.substr(prefix.size()));
  }
  return {};
}

std::wstring Unescape(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\\' || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    switch (text[++i]) {
      case L'n': out.push_back(L'\n'); break;
      case L'r': out.push_back(L'\r'); break;
      case L't': out.push_back(L'\t'); break;
      default: out.push_back(text[i]); break;
    }
  }
  return out;
}

std::wstring LogPath() {
  const std::wstring path = Setting(L"VANTORIC_NETSH_LOG");
  return path.empty() ? ExeDirectory() + L"netsh_standin.log" : path;
}

// One record per write, appended, so that runs in parallel do not mix lines.
void Log(const std::string& record) {
  HANDLE file = ::CreateFileW(LogPath().c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  ::CloseHandle(file);
}

UINT ConsoleInputCodePage() {
  const UINT cp = ::GetConsoleCP();
  return cp != 0 ? cp : ::GetOEMCP();
}

UINT ConsoleOutputCodePage() {
  const UINT cp = ::GetConsoleOutputCP();
  return cp != 0 ? cp : ::GetOEMCP();
}

void Write(DWORD stdHandle, const std::wstring& text) {
  if (text.empty()) return;
  const std::string bytes = ToCodePage(ConsoleOutputCodePage(), text);
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(stdHandle), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Whether the settings' answer is for this line (VANTORIC_NETSH_ONLY_FOR).
bool IsAnswered(const std::wstring& line) {
  const std::wstring only = Setting(L"VANTORIC_NETSH_ONLY_FOR");
  return only.empty() || line.find(only) != std::wstring::npos;
}

// Which call of the log this run is: 1 for the first (its own call is
// logged when it starts).
size_t RunNumber() {
  std::ifstream file(LogPath().c_str(), std::ios::binary);
  size_t runs = 0;
  std::string line;
  while (std::getline(file, line))
    if (line.compare(0, 9, "cmdline: ") == 0) ++runs;
  return runs;
}

DWORD ExitCode(const std::wstring& line) {
  if (!IsAnswered(line)) return 0;
  const std::wstring exits = Setting(L"VANTORIC_NETSH_EXITS");
  size_t run = exits.empty() ? 0 : RunNumber();
  for (size_t start = 0; run > 0 && start <= exits.size(); --run) {
    const size_t end = std::min(exits.find(L',', start), exits.size());
    if (run == 1) return std::wcstoul(exits.substr(start, end - start).c_str(), nullptr, 0);
    start = end + 1;
  }
  return std::wcstoul(Setting(L"VANTORIC_NETSH_EXIT").c_str(), nullptr, 0);
}

void Answer(const std::wstring& line) {
  const bool bAnswered = IsAnswered(line);
  std::wstring answer = bAnswered ? Unescape(Setting(L"VANTORIC_NETSH_ANSWER")) : std::wstring();
  if (answer.empty() && ExitCode(line) == 0) answer = L"Ok.\r\n\r\n";
  Write(STD_OUTPUT_HANDLE, answer);
  if (bAnswered) Write(STD_ERROR_HANDLE, Unescape(Setting(L"VANTORIC_NETSH_STDERR")));
}

// Answers one command: as told when netsh's syntax takes it, else with
// netsh's message, which the log also records.
void Run(const std::wstring& line) {
  const std::string command = ToUtf8(line);
  const auto check = vantoric::netsh_syntax::CheckSyntax(command);
  if (check.Accepted()) {
    Answer(line);
    if (g_nAnsweredExit == 0) g_nAnsweredExit = ExitCode(line);
    return;
  }
  g_bRefused = true;
  const std::string text = vantoric::netsh_syntax::RefusalText(check, command);
  Log("refused: " + text.substr(0, text.find("\r\n")) + "\r\n");
  Write(STD_OUTPUT_HANDLE, FromCodePage(CP_UTF8, text));
}

void LogInputLine(const std::string& bytes) {
  std::string body = bytes, end;
  while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) {
    end.insert(end.begin(), body.back());
    body.pop_back();
  }
  const std::wstring line = FromCodePage(ConsoleInputCodePage(), body);
  Log("stdin: " + ToUtf8(line) + end);
  if (!body.empty()) Run(line);
}

// Reads standard input to its end, line by line.
void RunInteractive() {
  HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buffer[512];
  DWORD got = 0;
  while (::ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    pending.append(buffer, got);
    size_t nl;
    while ((nl = pending.find('\n')) != std::string::npos) {
      LogInputLine(pending.substr(0, nl + 1));
      pending.erase(0, nl + 1);
    }
  }
  if (!pending.empty()) LogInputLine(pending);
  Log("eof\r\n");
}

// The command line after the program's name, quoted or not, and the blanks
// that follow it.
const wchar_t* Arguments(const wchar_t* cmd) {
  if (*cmd == L'"') {
    ++cmd;
    while (*cmd && *cmd != L'"') ++cmd;
    if (*cmd) ++cmd;
  } else {
    while (*cmd && *cmd != L' ' && *cmd != L'\t') ++cmd;
  }
  while (*cmd == L' ' || *cmd == L'\t') ++cmd;
  return cmd;
}

}  // namespace

int wmain() {
  const wchar_t* cmd = ::GetCommandLineW();
  Log("cmdline: " + ToUtf8(cmd) + "\r\n");
  const DWORD hangMs = std::wcstoul(Setting(L"VANTORIC_NETSH_HANG_MS").c_str(), nullptr, 10);
  if (hangMs > 0) ::Sleep(hangMs);
  const wchar_t* arguments = Arguments(cmd);
  if (*arguments != L'\0') {
    Run(arguments);
  } else {
    RunInteractive();
  }
  const DWORD exitCode = g_bRefused ? REFUSED_EXIT_CODE : g_nAnsweredExit != 0 ? g_nAnsweredExit : ExitCode(L"");
  Log("exit: " + std::to_string(exitCode) + "\r\n");
  return static_cast<int>(exitCode);
}
