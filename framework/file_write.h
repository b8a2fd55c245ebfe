// Writing a whole file so that it is either the new text or, after any
// failure, the old file as it was, or else both kept under names the user
// is told.
#pragma once

#include <windows.h>

#include <string>

namespace vantoric {

// How a write ended: 0, or the system error of the step that failed, with
// where the files are then (DescribeFailedReplace).
struct CFileWriteResult {
  DWORD m_nError = 0;
  std::string m_strFiles;
};

// Writes `text` to a new file beside `path` under an unpredictable name
// (created new: never one that was there before, nor through a link), then
// puts it in place of `path` with ReplaceFileW, which keeps the replaced
// file's permissions and moves it to a backup name beside it on the way: a
// reader never sees half a file. The backup is removed once the new file is
// in place. When a step fails, the temporary file is removed only while the
// old file is still in its place; once the old file has moved, both are
// kept and m_strFiles says where.
CFileWriteResult WriteFileReplacing(const std::wstring& path, const std::string& text);

}  // namespace vantoric
