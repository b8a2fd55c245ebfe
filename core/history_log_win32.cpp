#include "core/history_log_win32.h"

#include <windows.h>

#include <shlobj.h>

#include <mutex>

#include "core/history_log.h"
#include "core/address_guards.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

constexpr wchar_t LOG_FOLDER[] = L"\\Vantoric";
// One per session: every instance of the program, elevated or not, and
// every /apply of the user appends and rotates under it.
constexpr wchar_t LOG_MUTEX[] = L"Local\\Vantoric.HistoryLog";
// How long a write waits for another process's: a write takes milliseconds.
constexpr DWORD LOG_MUTEX_WAIT_MS = 5000;
// A log longer than this is not read: it is not one that this program wrote.
constexpr DWORD MAX_READ_BYTES = 2 * HISTORY_LOG_MAX_BYTES;

std::mutex g_settingsMutex;
std::wstring g_testFolder;
std::function<void(const std::string&)> g_tell;
bool g_bTold = false;

std::wstring LogFolder() {
  {
    const std::lock_guard<std::mutex> lock(g_settingsMutex);
    if (!g_testFolder.empty()) return g_testFolder;
  }
  // The shell's SHGetFolderPathW, present from Windows 5.2 on.
  using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  static const auto pfnGetFolderPath = GetSystemFunction<GetFolderPathFn>(L"shell32.dll", "SHGetFolderPathW");
  wchar_t folder[MAX_PATH] = {};
  if (pfnGetFolderPath == nullptr ||
      FAILED(pfnGetFolderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return {};
  return std::wstring(folder) + LOG_FOLDER;
}

// Opens `path` itself, never what a reparse point there leads to, and keeps
// the handle only when it is not a reparse point and, for a file, has no
// other name (a hard link would let a write land in another file). The
// attributes are those of the opened object, and those the path reports
// (which a system that does not tell them through the handle may still).
CHandle OpenOwn(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, bool bFolder) {
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | (bFolder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
  CHandle h(::CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr, disposition, flags, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!h || !::GetFileInformationByHandle(h.get(), &info)) return CHandle();
  const DWORD pathAttributes = ::GetFileAttributesW(path.c_str());
  const DWORD attributes = info.dwFileAttributes | (pathAttributes != INVALID_FILE_ATTRIBUTES
                                                        ? pathAttributes
                                                        : static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT));
  const bool bIsFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || bIsFolder != bFolder ||
      (!bFolder && info.nNumberOfLinks > 1))
    return CHandle();
  return h;
}

// The log's folder, held open so that it cannot be renamed or replaced while
// it is used; none when it is a reparse point.
CHandle OpenLogFolder(const std::wstring& folder, bool bCreate) {
  if (bCreate) ::CreateDirectoryW(folder.c_str(), nullptr);  // fails harmlessly when it is there
  return OpenOwn(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, true);
}

// The named mutex, owned for the life of this object when it could be had.
class CLogLock {
 public:
  CLogLock() : m_mutex(::CreateMutexW(nullptr, FALSE, LOG_MUTEX)) {
    // Created by an instance with other rights: waiting is all this one needs.
    if (!m_mutex) m_mutex.reset(::OpenMutexW(SYNCHRONIZE, FALSE, LOG_MUTEX));
    if (!m_mutex) return;
    const DWORD wait = ::WaitForSingleObject(m_mutex.get(), LOG_MUTEX_WAIT_MS);
    // An owner that ended without releasing it left the files as they were.
    m_bOwned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  ~CLogLock() {
    if (m_bOwned) ::ReleaseMutex(m_mutex.get());
  }
  CLogLock(const CLogLock&) = delete;
  CLogLock& operator=(const CLogLock&) = delete;
  bool IsOwned() const { return m_bOwned; }

 private:
  CHandle m_mutex;
  bool m_bOwned = false;
};

std::string ReadWholeFile(const std::wstring& path) {
  CHandle file = OpenOwn(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, false);
  if (!file) return {};
  const DWORD size = ::GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > MAX_READ_BYTES) return {};
  std::string text(size, '\0');
  DWORD got = 0;
  if (size > 0 && !::ReadFile(file.get(), text.data(), size, &got, nullptr)) return {};
  text.resize(got);
  return text;
}

CHandle OpenForAppend(const std::wstring& path) {
  return OpenOwn(path, FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS, false);
}

void TellFullOnce(const std::wstring& path, DWORD error) {
  std::function<void(const std::string&)> tell;
  {
    const std::lock_guard<std::mutex> lock(g_settingsMutex);
    if (g_bTold || !g_tell) return;
    g_bTold = true;
    tell = g_tell;
  }
  tell(FillGuardText(HISTORY_LOG_FULL_TEXT, {Narrow(path), GetSystemMessage(error)}));
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

HistoryLogWrite AppendToHistoryLog(const CHistoryEntry& entry) {
  const std::wstring folder = LogFolder();
  if (folder.empty()) return HistoryLogWrite::NotWritten;
  const std::wstring path = GetHistoryLogPath();
  const std::string line = FormatHistoryLogLine(entry);
  const CLogLock lock;
  if (!lock.IsOwned()) return HistoryLogWrite::NotWritten;
  const CHandle heldFolder = OpenLogFolder(folder, true);
  if (!heldFolder) return HistoryLogWrite::NotWritten;
  CHandle file = OpenForAppend(path);
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size)) return HistoryLogWrite::NotWritten;
  if (IsHistoryLogFull(static_cast<std::uint64_t>(size.QuadPart), line.size())) {
    file.reset();
    if (!::MoveFileExW(path.c_str(), GetOlderHistoryLogPath().c_str(), MOVEFILE_REPLACE_EXISTING)) {
      TellFullOnce(path, ::GetLastError());
      return HistoryLogWrite::Full;
    }
    file = OpenForAppend(path);
    if (!file) return HistoryLogWrite::NotWritten;
  }
  DWORD written = 0;
  return ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
                 written == line.size()
             ? HistoryLogWrite::Written
             : HistoryLogWrite::NotWritten;
}

std::vector<CHistoryEntry> ReadEarlierHistory(const std::string& currentRun) {
  const std::wstring folder = LogFolder();
  if (folder.empty()) return {};
  std::string text;
  {
    // Not while another process moves the log aside: neither file would
    // then be read twice or missed.
    const CLogLock lock;
    const CHandle heldFolder = OpenLogFolder(folder, false);
    if (!heldFolder) return {};
    text = ReadWholeFile(GetOlderHistoryLogPath()) + "\n" + ReadWholeFile(GetHistoryLogPath());
  }
  return ParseHistoryLog(text, currentRun);
}

void SetHistoryLogNotice(std::function<void(const std::string& text)> tell) {
  const std::lock_guard<std::mutex> lock(g_settingsMutex);
  g_tell = std::move(tell);
}

void SetHistoryLogFolderForTests(const std::wstring& folder) {
  const std::lock_guard<std::mutex> lock(g_settingsMutex);
  g_testFolder = folder;
  g_bTold = false;
}

}  // namespace vantoric
