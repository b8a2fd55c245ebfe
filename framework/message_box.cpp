#include "framework/message_box.h"

#include "framework/utf8.h"

namespace vantoric {

int ShowMessage(HWND owner, std::string_view text, UINT style, std::string_view caption) {
  const std::wstring wideCaption = Widen(caption.empty() ? std::string_view(PROGRAM_NAME) : caption);
  return ::MessageBoxW(owner, Widen(text).c_str(), wideCaption.c_str(), style);
}

std::string GetSystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD len = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", len);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) return "Error " + std::to_string(code) + ".";
  return Narrow(text);
}

}  // namespace vantoric
