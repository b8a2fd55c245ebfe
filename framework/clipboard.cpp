#include "framework/clipboard.h"

#include <cstring>
#include <string>

#include "framework/utf8.h"

namespace vantoric {

bool CopyTextToClipboard(HWND owner, std::string_view text) {
  const std::wstring wide = Widen(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return false;
  void* pData = ::GlobalLock(memory);
  if (pData == nullptr) {
    ::GlobalFree(memory);
    return false;
  }
  std::memcpy(pData, wide.c_str(), bytes);
  ::GlobalUnlock(memory);
  if (!::OpenClipboard(owner)) {
    ::GlobalFree(memory);
    return false;
  }
  ::EmptyClipboard();
  // Once the clipboard has taken the memory it is the clipboard's.
  const bool bTaken = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  ::CloseClipboard();
  if (!bTaken) ::GlobalFree(memory);
  return bTaken;
}

}  // namespace vantoric
