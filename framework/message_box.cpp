#include "framework/message_box.h"

#include "framework/utf8.h"

namespace vantoric {

int ShowMessage(HWND owner, std::string_view text, UINT style, std::string_view caption) {
  const std::wstring wideCaption = Widen(caption.empty() ? std::string_view(PROGRAM_NAME) : caption);
  return ::MessageBoxW(owner, Widen(text).c_str(), wideCaption.c_str(), style);
}

}  // namespace vantoric
