// Thin window wrappers. CWindow does not own its HWND; it only gives the
// Win32 calls UTF-8 texts and a shorter spelling.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vantoric {

class CWindow {
 public:
  CWindow() = default;
  explicit CWindow(HWND hwnd) : m_hWnd(hwnd) {}

  HWND GetSafeHwnd() const { return m_hWnd; }
  bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
  void Attach(HWND hwnd) { m_hWnd = hwnd; }

  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  std::string GetWindowText() const { return GetText(m_hWnd); }
  void SetWindowText(std::string_view text) const { SetText(m_hWnd, text); }
  std::string GetDlgItemText(int id) const { return GetText(GetDlgItem(id)); }
  void SetDlgItemText(int id, std::string_view text) const { SetText(GetDlgItem(id), text); }
  void EnableItem(int id, bool bEnable) const { ::EnableWindow(GetDlgItem(id), bEnable ? TRUE : FALSE); }

  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::SendMessageW(m_hWnd, msg, wp, lp);
  }
  LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::SendDlgItemMessageW(m_hWnd, id, msg, wp, lp);
  }
  bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::PostMessageW(m_hWnd, msg, wp, lp) != FALSE;
  }

  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  // A child's window rectangle in this window's client coordinates.
  RECT GetChildRect(HWND child) const;

  static std::string GetText(HWND hwnd);
  static void SetText(HWND hwnd, std::string_view text);

 protected:
  HWND m_hWnd = nullptr;
};

// Loads a string table entry as UTF-8 ("" when missing).
std::string LoadResourceString(UINT id);

}  // namespace vantoric
