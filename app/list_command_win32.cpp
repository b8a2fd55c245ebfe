#include "app/list_command_win32.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "app/apply_command_win32.h"
#include "app/diagnose_command_win32.h"
#include "core/adapter_enumeration_win32.h"
#include "core/connection_guard_win32.h"
#include "core/interface_settings_win32.h"
#include "core/system_settings_win32.h"
#include "framework/file_write.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_NOT_READ = 1;
constexpr int EXIT_USAGE = 2;

// Where standard output or error goes. A program of the window subsystem
// has a standard handle only when its starter redirected it (a file, a pipe,
// NUL); otherwise the text goes to the console it was started from, if any.
class COutput {
 public:
  explicit COutput(DWORD stdHandle) {
    const HANDLE h = ::GetStdHandle(stdHandle);
    const DWORD type = h != nullptr && h != INVALID_HANDLE_VALUE ? ::GetFileType(h) : FILE_TYPE_UNKNOWN;
    const StdHandleKind kind = type == FILE_TYPE_DISK   ? StdHandleKind::Disk
                               : type == FILE_TYPE_PIPE ? StdHandleKind::Pipe
                               : type == FILE_TYPE_CHAR ? StdHandleKind::Character
                                                        : StdHandleKind::None;
    DWORD mode = 0;
    switch (ChooseTextTarget(kind, kind == StdHandleKind::Character && ::GetConsoleMode(h, &mode))) {
      case TextTarget::Handle:
        m_hFile = h;
        break;
      case TextTarget::Console:
        m_hConsole = h;
        break;
      case TextTarget::ParentConsole:
        if (::AttachConsole(ATTACH_PARENT_PROCESS) || ::GetLastError() == ERROR_ACCESS_DENIED) {
          m_console.reset(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
          m_hConsole = m_console.get();
        }
        break;
    }
  }

  bool HasTarget() const { return m_hFile != nullptr || IsOpen(); }

  // UTF-8 bytes to a file or pipe; UTF-16 to a console, which then shows
  // every name whatever its code page.
  bool Write(const std::string& text) const {
    DWORD written = 0;
    if (m_hFile != nullptr)
      return ::WriteFile(m_hFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE;
    if (!IsOpen()) return false;
    const std::wstring wide = Widen(text);
    return ::WriteConsoleW(m_hConsole, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != FALSE;
  }

 private:
  bool IsOpen() const { return m_hConsole != nullptr && m_hConsole != INVALID_HANDLE_VALUE; }

  HANDLE m_hFile = nullptr;     // not owned
  HANDLE m_hConsole = nullptr;  // the standard handle or m_console
  CHandle m_console;
};

void WriteError(const std::string& text) {
  const COutput err(STD_ERROR_HANDLE);
  err.Write("vantoric: " + text + "\n");
}

std::string UtcNow() {
  SYSTEMTIME t{};
  ::GetSystemTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return text;
}


int RunList(const std::string& file) {
  std::unique_ptr<CAdapterRecord[]> records;
  size_t count = 0;
  std::vector<std::string> names;
  const DWORD error = TakeAdapterSnapshot(records, count, names);
  if (error != 0) {
    WriteError("the network adapters could not be read: " + GetSystemMessage(error));
    return EXIT_NOT_READ;
  }
  // Each adapter's routes, by the identity that the reading itself gave it:
  // null for all without a route table, for one adapter without identity.
  const CRouteTableReading table = ReadRouteTable();
  const std::vector<CListedRoutes> routes =
      ListRoutesOfRecords(records.get(), count, table.m_state == RouteTableState::Read ? &table.m_routes : nullptr);
  const CSystemState system = ReadSystemState(ReadSystemFacts());
  const std::vector<CAdapterLinkFacts> links = ReadAdapterLinkFacts(names);
  const std::string listing = FormatAdapterListing(records.get(), count, UtcNow(), &routes, &system, &links);
  if (file.empty()) {
    const COutput out(STD_OUTPUT_HANDLE);
    return out.Write(listing) ? EXIT_DONE : EXIT_USAGE;
  }
  // Written beside the file, then put in its place: a reader never sees half
  // a listing, and a failed write says where the old and the new text are.
  const CFileWriteResult written = WriteFileReplacing(Widen(file), listing);
  if (written.m_nError != 0) {
    WriteError(file + " could not be written: " + GetSystemMessage(written.m_nError) +
               (written.m_strFiles.empty() ? "" : " " + written.m_strFiles));
    return EXIT_USAGE;
  }
  return EXIT_DONE;
}

}  // namespace

int RunProgramCommand(const CProgramCommand& command) {
  switch (command.m_command) {
    case ProgramCommand::List:
      return RunList(command.m_strFile);
    case ProgramCommand::Usage: {
      const COutput out(STD_OUTPUT_HANDLE);
      // Started from a shortcut there is no console: the usage in a box.
      if (!out.HasTarget()) ShowMessage(nullptr, ProgramUsage(), MB_OK | MB_ICONINFORMATION);
      else out.Write(ProgramUsage());
      return EXIT_DONE;
    }
    case ProgramCommand::BadList:
      WriteError(command.m_strReason + "\n\n" + ProgramUsage());
      return EXIT_USAGE;
    case ProgramCommand::Apply:
    case ProgramCommand::BadApply: {
      const COutput out(STD_OUTPUT_HANDLE), err(STD_ERROR_HANDLE);
      return RunApplyCommand(command, {[&](const std::string& text) { out.Write(text); },
                                       [&](const std::string& text) { err.Write(text); }});
    }
    case ProgramCommand::Diagnose:
    case ProgramCommand::BadDiagnose: {
      const COutput out(STD_OUTPUT_HANDLE), err(STD_ERROR_HANDLE);
      return RunDiagnoseCommand(command, {[&](const std::string& text) { out.Write(text); },
                                          [&](const std::string& text) { err.Write(text); }});
    }
    case ProgramCommand::Window:
      break;
  }
  return EXIT_DONE;
}

}  // namespace vantoric
