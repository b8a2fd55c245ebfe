#include "framework/file_write.h"

#include "framework/handles.h"

namespace vantoric {

DWORD WriteFileReplacing(const std::wstring& path, const std::string& text) {
  const std::wstring temp = path + L".vantoric-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  {
    CHandle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError();
    DWORD written = 0;
    if (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !::FlushFileBuffers(file.get())) {
      const DWORD error = ::GetLastError();
      file.reset();
      ::DeleteFileW(temp.c_str());
      return error != 0 ? error : static_cast<DWORD>(ERROR_WRITE_FAULT);
    }
  }
  if (!::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    return error;
  }
  return 0;
}

}  // namespace vantoric
