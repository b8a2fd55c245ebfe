#include "framework/window.h"

#include "framework/utf8.h"

namespace vantoric {

RECT CWindow::GetClientRect() const {
  RECT rc{};
  ::GetClientRect(m_hWnd, &rc);
  return rc;
}

RECT CWindow::GetWindowRect() const {
  RECT rc{};
  ::GetWindowRect(m_hWnd, &rc);
  return rc;
}

RECT CWindow::GetChildRect(HWND child) const {
  RECT rc{};
  ::GetWindowRect(child, &rc);
  ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

std::string CWindow::GetText(HWND hwnd) {
  if (hwnd == nullptr) return {};
  const int len = ::GetWindowTextLengthW(hwnd);
  if (len <= 0) return {};
  std::wstring buf(static_cast<size_t>(len) + 1, L'\0');
  const int got = ::GetWindowTextW(hwnd, buf.data(), len + 1);
  buf.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return Narrow(buf);
}

void CWindow::SetText(HWND hwnd, std::string_view text) {
  if (hwnd != nullptr) ::SetWindowTextW(hwnd, Widen(text).c_str());
}

std::string LoadResourceString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW hands out a read-only pointer into the resource.
  const int len = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (len <= 0 || text == nullptr) return {};
  return Narrow(std::wstring_view(text, static_cast<size_t>(len)));
}

}  // namespace vantoric
