#include "framework/command_line.h"

#include <windows.h>


#include "framework/ascii_text.h"
#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

void ParseFlag(const std::string& flag, CCommandLineInfo& info) {
  const std::string f = LowerAscii(flag);
  if (f == "p") {
    info.m_nShellCommand = CCommandLineInfo::FilePrint;
  } else if (f == "pt") {
    info.m_nShellCommand = CCommandLineInfo::FilePrintTo;
  } else if (f == "dde") {
    info.m_nShellCommand = CCommandLineInfo::FileDDE;
  } else if (f == "register" || f == "regserver") {
    info.m_nShellCommand = CCommandLineInfo::AppRegister;
  } else if (f == "unregister" || f == "unregserver") {
    info.m_nShellCommand = CCommandLineInfo::AppUnregister;
  } else if (f == "embedding") {
    info.m_bRunEmbedded = true;
  } else if (f == "automation") {
    info.m_bRunAutomated = true;
  }
}

void ParseParam(const std::string& param, CCommandLineInfo& info) {
  if (info.m_strFileName.empty()) {
    info.m_strFileName = param;
  } else if (info.m_nShellCommand == CCommandLineInfo::FilePrintTo) {
    if (info.m_strPrinterName.empty())
      info.m_strPrinterName = param;
    else if (info.m_strDriverName.empty())
      info.m_strDriverName = param;
    else if (info.m_strPortName.empty())
      info.m_strPortName = param;
  }
}

}  // namespace

CCommandLineInfo ParseCommandLine(const std::vector<std::string>& args) {
  CCommandLineInfo info;
  for (const std::string& arg : args) {
    if (arg.size() > 1 && (arg[0] == '/' || arg[0] == '-'))
      ParseFlag(arg.substr(1), info);
    else
      ParseParam(arg, info);
  }
  if (info.m_nShellCommand == CCommandLineInfo::FileNew) {
    if (info.m_bRunEmbedded || info.m_bRunAutomated)
      info.m_nShellCommand = CCommandLineInfo::FileNothing;
    else if (!info.m_strFileName.empty())
      info.m_nShellCommand = CCommandLineInfo::FileOpen;
  }
  return info;
}

namespace {

// True when nothing but blanks follows the program name, which the shell's
// rules end at the closing quote or else at the first blank.
bool HasNoArguments(const wchar_t* line) {
  if (*line == L'"') {
    ++line;
    while (*line != L'\0' && *line != L'"') ++line;
    if (*line == L'"') ++line;
  } else {
    while (*line != L'\0' && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return *line == L'\0';
}

}  // namespace

std::vector<std::string> GetCommandLineArguments() {
  std::vector<std::string> args;
  const wchar_t* line = ::GetCommandLineW();
  // A plain start does not load shell32 just to learn that there is nothing.
  if (HasNoArguments(line)) return args;
  using CommandLineToArgvFn = LPWSTR*(WINAPI*)(LPCWSTR, int*);
  static const auto pfnCommandLineToArgv =
      GetSystemFunction<CommandLineToArgvFn>(L"shell32.dll", "CommandLineToArgvW");
  if (pfnCommandLineToArgv == nullptr) return args;
  int argc = 0;
  LPWSTR* argv = pfnCommandLineToArgv(line, &argc);
  if (argv == nullptr) return args;
  for (int i = 1; i < argc; ++i) args.push_back(Narrow(argv[i]));
  ::LocalFree(argv);
  return args;
}

}  // namespace vantoric
