#include "app/list_command_win32.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "core/adapter_enumeration_win32.h"
#include "core/guid.h"
#include "core/connection_guard_win32.h"
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

// How many unpredictable names are tried for the file beside FILE.
constexpr int TEMP_NAME_ATTEMPTS = 8;

// A new file beside `path` under a name nobody can guess: it is created,
// never opened, so that nothing placed there beforehand (a file, a link)
// is written through or overwritten.
CHandle CreateTempBeside(const std::wstring& path, std::wstring& temp) {
  for (int attempt = 0; attempt < TEMP_NAME_ATTEMPTS; ++attempt) {
    CGuid guid;
    CreateUuid(guid);
    wchar_t name[40];
    std::swprintf(name, 40, L".%08lx%04x%04x", static_cast<unsigned long>(guid.m_nData1),
                  static_cast<unsigned>(guid.m_nData2), static_cast<unsigned>(guid.m_nData3));
    temp = path + name;
    for (const std::uint8_t byte : guid.m_data4) {
      std::swprintf(name, 40, L"%02x", static_cast<unsigned>(byte));
      temp += name;
    }
    temp += L".tmp";
    CHandle h(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (h || (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)) return h;
  }
  return CHandle();
}

// Written beside the file, then put in its place: a reader never sees half
// a listing, a failed write leaves the old file as it was, and a file that
// is replaced keeps its permissions and attributes.
DWORD WriteFileWhole(const std::string& file, const std::string& text) {
  const std::wstring path = Widen(file);
  std::wstring temp;
  {
    CHandle h = CreateTempBeside(path, temp);
    if (!h) return ::GetLastError() != 0 ? ::GetLastError() : static_cast<DWORD>(ERROR_FILE_EXISTS);
    DWORD written = 0;
    if (!::WriteFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !::FlushFileBuffers(h.get())) {
      const DWORD error = ::GetLastError();
      h.reset();
      ::DeleteFileW(temp.c_str());
      return error != 0 ? error : static_cast<DWORD>(ERROR_WRITE_FAULT);
    }
  }
  if (::ReplaceFileW(path.c_str(), temp.c_str(), nullptr, 0, nullptr, nullptr)) return 0;
  DWORD error = ::GetLastError();
  // No file to replace (or it went meanwhile): the new one takes its name.
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
    if (::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) return 0;
    error = ::GetLastError();
  }
  ::DeleteFileW(temp.c_str());
  return error;
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
  const std::string listing = FormatAdapterListing(records.get(), count, UtcNow(), &routes);
  if (file.empty()) {
    const COutput out(STD_OUTPUT_HANDLE);
    return out.Write(listing) ? EXIT_DONE : EXIT_USAGE;
  }
  const DWORD written = WriteFileWhole(file, listing);
  if (written != 0) {
    WriteError(file + " could not be written: " + GetSystemMessage(written));
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
    case ProgramCommand::Window:
      break;
  }
  return EXIT_DONE;
}

}  // namespace vantoric
