#include "framework/file_write.h"

#include <cstdio>

#include "framework/file_replace_rules.h"
#include "framework/handles.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

// How many unpredictable names are tried for the file beside the target.
constexpr int TEMP_NAME_ATTEMPTS = 8;

// Sixteen random bytes as hex; the system's generator (advapi32, already
// loaded), else the clock mixed with the process and thread numbers.
std::wstring RandomName() {
  using RandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  static const auto pfnRandom = reinterpret_cast<RandomFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "SystemFunction036")));
  unsigned char bytes[16] = {};
  if (pfnRandom == nullptr || !pfnRandom(bytes, sizeof bytes)) {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    const unsigned long long mix = static_cast<unsigned long long>(now.QuadPart) ^
                                   (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                                   ::GetCurrentThreadId();
    for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(mix >> (8 * (i % 8)));
  }
  std::wstring name;
  for (const unsigned char byte : bytes) {
    wchar_t hex[3];
    std::swprintf(hex, 3, L"%02x", static_cast<unsigned>(byte));
    name += hex;
  }
  return name;
}

// A new file beside `path` under a name nobody can guess: it is created,
// never opened, so that nothing placed there beforehand (a file, a link) is
// written through or overwritten.
CHandle CreateTempBeside(const std::wstring& path, std::wstring& temp) {
  for (int attempt = 0; attempt < TEMP_NAME_ATTEMPTS; ++attempt) {
    temp = path + L"." + RandomName() + L".tmp";
    CHandle h(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (h || (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)) return h;
  }
  return CHandle();
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The outcome of a step that failed with `error`: the files as they are
// now, and the temporary file removed only when the old file is untouched.
CFileWriteResult Failed(DWORD error, const std::wstring& path, const std::wstring& backup, const std::wstring& temp) {
  const std::string pathText = Narrow(path), backupText = Narrow(backup), tempText = Narrow(temp);
  CReplaceFiles files;
  files.m_path = pathText;
  files.m_bPath = Exists(path);
  files.m_backup = backupText;
  files.m_bBackup = !backup.empty() && Exists(backup);
  files.m_temp = tempText;
  files.m_bTemp = Exists(temp);
  CReplaceAftermath after = DescribeFailedReplace(files);
  if (after.m_bDeleteTemp) ::DeleteFileW(temp.c_str());
  return {error != 0 ? error : static_cast<DWORD>(ERROR_WRITE_FAULT), std::move(after.m_strText)};
}

}  // namespace

CFileWriteResult WriteFileReplacing(const std::wstring& path, const std::string& text) {
  std::wstring temp;
  {
    CHandle file = CreateTempBeside(path, temp);
    if (!file) return {::GetLastError() != 0 ? ::GetLastError() : static_cast<DWORD>(ERROR_FILE_EXISTS), {}};
    DWORD written = 0;
    if (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !::FlushFileBuffers(file.get())) {
      const DWORD error = ::GetLastError();
      file.reset();
      // Half written: of no use, and the old file has not been touched.
      ::DeleteFileW(temp.c_str());
      return {error != 0 ? error : static_cast<DWORD>(ERROR_WRITE_FAULT),
              Exists(path) ? "\"" + Narrow(path) + "\" is as it was." : std::string()};
    }
  }
  if (!Exists(path)) {
    if (::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) return {};
    return Failed(::GetLastError(), path, {}, temp);
  }
  // The old file's name on its way out, as unpredictable as the temporary one.
  const std::wstring backup = path + L"." + RandomName() + L".bak";
  // ReplaceFileW (learn.microsoft.com, winbase.h): given a backup name, a
  // failure leaves the old file in its place or under that name, and the new
  // one under its temporary name.
  if (::ReplaceFileW(path.c_str(), temp.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
    ::DeleteFileW(backup.c_str());
    return {};
  }
  const DWORD error = ::GetLastError();
  // The old file went meanwhile: the new one takes its name.
  if (error == ERROR_FILE_NOT_FOUND && !Exists(path) && !Exists(backup) &&
      ::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
    return {};
  return Failed(error, path, backup, temp);
}

}  // namespace vantoric
