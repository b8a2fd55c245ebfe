// Replacing a whole file, in a folder of the test's own: a new file, a file
// replaced (no backup or temporary file left beside it), and a file in use
// that cannot be replaced (left as it was, with nothing else beside it, and
// the caller told so).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "framework/file_write.h"
#include "framework/handles.h"
#include "framework/utf8.h"

namespace vantoric {
namespace {

std::wstring Folder() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + L"vantoric-write-" + std::to_wstring(::GetCurrentProcessId());
}

// The names in the folder, sorted as the system lists them.
std::vector<std::wstring> Names(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return names;
}

std::string ReadFileText(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(WriteFileReplacing, TheNewTextOrTheOldFileAndNothingElseBesideIt) {
  const std::wstring folder = Folder();
  const std::wstring path = folder + L"\\undo.cmd";
  const struct {
    const char* why;
    std::function<void()> before;  // the file as it is before the write
    bool bInUse;                   // held open without sharing its deletion
    DWORD error;
    std::string content;
    std::string files;
  } cases[] = {
      {"no file there: written", [] {}, false, 0, "new", ""},
      {"a file there: replaced", [&] { std::ofstream(path.c_str(), std::ios::binary) << "old"; }, false, 0, "new", ""},
      {"a file there in use: left as it was", [&] { std::ofstream(path.c_str(), std::ios::binary) << "old"; }, true,
       ERROR_SHARING_VIOLATION, "old", "\"" + Narrow(path) + "\" is as it was."},
  };
  for (const auto& c : cases) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    c.before();
    CHandle held;
    if (c.bInUse)
      held.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const CFileWriteResult result = WriteFileReplacing(path, "new");
    held.reset();
    EXPECT_EQ(result.m_nError, c.error) << c.why;
    EXPECT_EQ(result.m_strFiles, c.files) << c.why;
    EXPECT_EQ(ReadFileText(path), c.content) << c.why;
    EXPECT_EQ(Names(folder), std::vector<std::wstring>{L"undo.cmd"}) << c.why << ": no backup or temporary file left";
    for (const std::wstring& name : Names(folder)) ::DeleteFileW((folder + L"\\" + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
  }
}

}  // namespace
}  // namespace vantoric
