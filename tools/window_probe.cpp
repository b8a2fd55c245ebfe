// Finds a top-level dialog by its caption from outside the program, for
// scripts and tests: waits for it to show, or asks it to close.
//   window_probe wait <caption> <timeout-ms>   exit 0 once visible, 1 on time-out
//   window_probe close <caption>               posts WM_CLOSE; exit 0 if found
//   window_probe count <caption>               prints how many visible ones exist
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

std::vector<HWND> FindDialogs(const wchar_t* caption) {
  std::vector<HWND> found;
  HWND h = nullptr;
  while ((h = ::FindWindowExW(nullptr, h, L"#32770", caption)) != nullptr) {
    if (::IsWindowVisible(h)) found.push_back(h);
  }
  return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: window_probe wait|close|count <caption> [timeout-ms]\n", stderr);
    return 2;
  }
  const wchar_t* verb = argv[1];
  const wchar_t* caption = argv[2];
  if (std::wcscmp(verb, L"wait") == 0) {
    const DWORD timeout = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 20000;
    const ULONGLONG end = ::GetTickCount64() + timeout;
    while (FindDialogs(caption).empty()) {
      if (::GetTickCount64() >= end) return 1;
      ::Sleep(50);
    }
    return 0;
  }
  if (std::wcscmp(verb, L"close") == 0) {
    const auto found = FindDialogs(caption);
    for (HWND h : found) ::PostMessageW(h, WM_CLOSE, 0, 0);
    return found.empty() ? 1 : 0;
  }
  if (std::wcscmp(verb, L"count") == 0) {
    std::printf("%zu\n", FindDialogs(caption).size());
    return 0;
  }
  return 2;
}
