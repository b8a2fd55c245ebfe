#include "core/lifetime_text_win32.h"

#include "core/lifetime_text.h"
#include "framework/message_box.h"

namespace vantoric {

bool ValidateLifetimeText(std::string_view text, HWND owner) {
  if (IsLifetimeTextAcceptable(text)) return true;
  ShowMessage(owner, "Invalid lifetime format.", MB_OK | MB_ICONERROR);
  return false;
}

}  // namespace vantoric
