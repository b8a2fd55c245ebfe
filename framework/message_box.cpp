#include "framework/message_box.h"

#include "framework/utf8.h"

namespace vantoric {

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
  return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), style);
}

}  // namespace vantoric
