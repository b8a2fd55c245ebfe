// The application's command line read the usual way: flags ("/p", "-dde",
// ...) name a shell command, the first other argument names a file.
#pragma once

#include <string>
#include <vector>

namespace vantoric {

struct CCommandLineInfo {
  enum EShellCommand {
    FileNew,        // no request: start with an empty document
    FileOpen,       // open m_strFileName
    FilePrint,      // "/p file"
    FilePrintTo,    // "/pt file printer driver port"
    FileDDE,        // "/dde"
    AppRegister,    // "/register", "/regserver"
    AppUnregister,  // "/unregister", "/unregserver"
    FileNothing     // started for automation or embedding: show nothing
  };
  EShellCommand m_nShellCommand = FileNew;
  std::string m_strFileName;
  std::string m_strPrinterName;
  std::string m_strDriverName;
  std::string m_strPortName;
  bool m_bRunEmbedded = false;
  bool m_bRunAutomated = false;
};

// Arguments without the program name. Unknown flags are ignored.
CCommandLineInfo ParseCommandLine(const std::vector<std::string>& args);

// This process's arguments, without the program name, as UTF-8.
std::vector<std::string> GetCommandLineArguments();

}  // namespace vantoric
