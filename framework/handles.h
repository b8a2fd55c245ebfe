// Move-only owners of GDI objects, icons and kernel handles. Copying is
// forbidden so that no handle is ever released twice.
#pragma once

#include <windows.h>

#include <utility>

namespace vantoric {

template <typename T, typename Traits>
class CUniqueHandle {
 public:
  CUniqueHandle() = default;
  explicit CUniqueHandle(T h) : m_h(h) {}
  CUniqueHandle(const CUniqueHandle&) = delete;
  CUniqueHandle& operator=(const CUniqueHandle&) = delete;
  CUniqueHandle(CUniqueHandle&& other) noexcept : m_h(other.release()) {}
  CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~CUniqueHandle() { reset(); }

  T get() const { return m_h; }
  explicit operator bool() const { return Traits::IsValid(m_h); }
  T release() { return std::exchange(m_h, Traits::Invalid()); }
  void reset(T h = Traits::Invalid()) {
    if (Traits::IsValid(m_h)) Traits::Close(m_h);
    m_h = h;
  }

 private:
  T m_h = Traits::Invalid();
};

template <typename T>
struct CGdiTraits {
  static T Invalid() { return nullptr; }
  static bool IsValid(T h) { return h != nullptr; }
  static void Close(T h) { DeleteObject(h); }
};

struct CIconTraits {
  static HICON Invalid() { return nullptr; }
  static bool IsValid(HICON h) { return h != nullptr; }
  static void Close(HICON h) { DestroyIcon(h); }
};

// Kernel handles: both null and INVALID_HANDLE_VALUE mean "none".
struct CKernelTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};

using CFont = CUniqueHandle<HFONT, CGdiTraits<HFONT>>;
using CBrush = CUniqueHandle<HBRUSH, CGdiTraits<HBRUSH>>;
using CPen = CUniqueHandle<HPEN, CGdiTraits<HPEN>>;
using CBitmap = CUniqueHandle<HBITMAP, CGdiTraits<HBITMAP>>;
using CIcon = CUniqueHandle<HICON, CIconTraits>;
using CHandle = CUniqueHandle<HANDLE, CKernelTraits>;

// Selects a GDI object into a device context for the scope's lifetime.
class CSelectObject {
 public:
  CSelectObject(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_hOld(SelectObject(hdc, obj)) {}
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;
  ~CSelectObject() {
    if (m_hOld != nullptr && m_hOld != HGDI_ERROR) SelectObject(m_hdc, m_hOld);
  }

 private:
  HDC m_hdc;
  HGDIOBJ m_hOld;
};

// Owns a memory device context made with CreateCompatibleDC.
struct CDcTraits {
  static HDC Invalid() { return nullptr; }
  static bool IsValid(HDC h) { return h != nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};
using CMemoryDC = CUniqueHandle<HDC, CDcTraits>;

// A window's device context from GetDC, released with ReleaseDC.
class CClientDC {
 public:
  explicit CClientDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(GetDC(hwnd)) {}
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;
  ~CClientDC() {
    if (m_hdc) ReleaseDC(m_hwnd, m_hdc);
  }
  HDC get() const { return m_hdc; }

 private:
  HWND m_hwnd;
  HDC m_hdc;
};

// BeginPaint/EndPaint for one WM_PAINT.
class CPaintDC {
 public:
  explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd) { m_hdc = BeginPaint(hwnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  ~CPaintDC() { EndPaint(m_hwnd, &m_ps); }
  HDC get() const { return m_hdc; }
  const PAINTSTRUCT& ps() const { return m_ps; }

 private:
  HWND m_hwnd;
  PAINTSTRUCT m_ps{};
  HDC m_hdc = nullptr;
};

}  // namespace vantoric
