#include "core/history_log_win32.h"

#include <windows.h>

#include <shlobj.h>

#include "core/history_log.h"
#include "framework/handles.h"
#include "framework/system_library.h"

namespace vantoric {

namespace {

constexpr wchar_t LOG_FOLDER[] = L"\\Vantoric";
// A log longer than this is not read: it is not one that this program wrote.
constexpr DWORD MAX_READ_BYTES = 2 * HISTORY_LOG_MAX_BYTES;

std::wstring LogFolder() {
  // The shell's SHGetFolderPathW, present from Windows 5.2 on.
  using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  static const auto pfnGetFolderPath = GetSystemFunction<GetFolderPathFn>(L"shell32.dll", "SHGetFolderPathW");
  wchar_t folder[MAX_PATH] = {};
  if (pfnGetFolderPath == nullptr ||
      FAILED(pfnGetFolderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return {};
  return std::wstring(folder) + LOG_FOLDER;
}

std::string ReadWholeFile(const std::wstring& path) {
  CHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  const DWORD size = ::GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > MAX_READ_BYTES) return {};
  std::string text(size, '\0');
  DWORD got = 0;
  if (size > 0 && !::ReadFile(file.get(), text.data(), size, &got, nullptr)) return {};
  text.resize(got);
  return text;
}

}  // namespace

std::wstring GetHistoryLogPath() {
  const std::wstring folder = LogFolder();
  return folder.empty() ? std::wstring() : folder + L"\\history.jsonl";
}

std::wstring GetOlderHistoryLogPath() {
  const std::wstring folder = LogFolder();
  return folder.empty() ? std::wstring() : folder + L"\\history.1.jsonl";
}

void AppendToHistoryLog(const CHistoryEntry& entry) {
  const std::wstring path = GetHistoryLogPath();
  if (path.empty()) return;
  ::CreateDirectoryW(LogFolder().c_str(), nullptr);  // fails harmlessly when it is there
  const std::string line = FormatHistoryLogLine(entry);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
      IsHistoryLogFull((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, line.size()))
    ::MoveFileExW(path.c_str(), GetOlderHistoryLogPath().c_str(), MOVEFILE_REPLACE_EXISTING);
  CHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::vector<CHistoryEntry> ReadEarlierHistory(const std::string& currentRun) {
  const std::wstring path = GetHistoryLogPath();
  if (path.empty()) return {};
  return ParseHistoryLog(ReadWholeFile(GetOlderHistoryLogPath()) + "\n" + ReadWholeFile(path), currentRun);
}

}  // namespace vantoric
