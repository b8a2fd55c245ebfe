#include "framework/window_dpi.h"

#include <commctrl.h>

#include <cstdlib>
#include <algorithm>
#include <map>
#include <mutex>
#include <set>

#include "framework/system_library.h"

namespace vantoric {

#ifdef WM_DPICHANGED
static_assert(MSG_DPICHANGED == WM_DPICHANGED);
#endif
#ifdef WM_DPICHANGED_AFTERPARENT
static_assert(MSG_DPICHANGED_AFTERPARENT == WM_DPICHANGED_AFTERPARENT);
#endif

namespace {

// The resolutions that top-level windows recorded. They are kept in the
// process rather than as window properties: under Wine each property read
// is a round trip to the window server, and controls read the resolution
// many times while they are laid out.
struct CRecordedDpi {
  HWND window;
  UINT dpi;
};
std::mutex g_dpiMutex;
std::vector<CRecordedDpi>& RecordedDpis() {
  static std::vector<CRecordedDpi> records;
  return records;
}

UINT RecordedDpi(HWND topLevel) {
  const std::lock_guard<std::mutex> lock(g_dpiMutex);
  for (const CRecordedDpi& record : RecordedDpis())
    if (record.window == topLevel) return record.dpi;
  return 0;
}

constexpr int kDialogDisableAll = 1;  // DDC_DISABLE_ALL

bool IsDialogWindow(HWND hwnd) {
  wchar_t name[8] = {};
  return ::GetClassNameW(hwnd, name, 8) > 0 && ::lstrcmpW(name, L"#32770") == 0;
}

bool HasClass(HWND hwnd, const wchar_t* className) {
  wchar_t name[32] = {};
  return ::GetClassNameW(hwnd, name, 32) > 0 && ::lstrcmpiW(name, className) == 0;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

// A child's rectangle in its parent's client area, a drop-down combo box's
// with its list (the height that moving it sets).
RECT ChildRect(HWND child) {
  RECT rc{};
  ::GetWindowRect(child, &rc);
  if (HasClass(child, L"ComboBox")) {
    RECT dropped{};
    if (::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)) != 0 &&
        dropped.bottom > rc.bottom)
      rc.bottom = rc.top + (dropped.bottom - dropped.top);
  }
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

int LineHeight(HFONT font) {
  HDC screen = ::GetDC(nullptr);
  const HGDIOBJ old = ::SelectObject(screen, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(screen, &metrics);
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  return metrics.tmHeight;
}

void ScaleColumns(HWND list, int toDpi, int fromDpi) {
  if ((::GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT) return;
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int count = header != nullptr ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int col = 0; col < count; ++col) {
    const int width = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, col, 0));
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, col, MAKELPARAM(ScaleMetric(width, toDpi, fromDpi), 0));
  }
}

}  // namespace

UINT GetWindowDpi(HWND hwnd) {
  HWND root = hwnd != nullptr ? ::GetAncestor(hwnd, GA_ROOT) : nullptr;
  if (root != nullptr) {
    if (const UINT recorded = RecordedDpi(root); recorded != 0) return recorded;
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto pfnGetDpiForWindow = GetSystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (pfnGetDpiForWindow != nullptr) {
      if (const UINT dpi = pfnGetDpiForWindow(hwnd); dpi != 0) return dpi;
    }
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : static_cast<UINT>(DESIGN_DPI);
}

int ScaleToWindow(HWND hwnd, int value) { return ScaleMetric(value, static_cast<int>(GetWindowDpi(hwnd))); }

void SetWindowDpi(HWND topLevel, UINT dpi) {
  const std::lock_guard<std::mutex> lock(g_dpiMutex);
  std::vector<CRecordedDpi>& records = RecordedDpis();
  for (CRecordedDpi& record : records)
    if (record.window == topLevel) {
      record.dpi = dpi;
      return;
    }
  records.push_back({topLevel, dpi});
}

void ForgetWindowDpi(HWND topLevel) {
  const std::lock_guard<std::mutex> lock(g_dpiMutex);
  std::vector<CRecordedDpi>& records = RecordedDpis();
  records.erase(std::remove_if(records.begin(), records.end(),
                               [topLevel](const CRecordedDpi& record) { return record.window == topLevel; }),
                records.end());
}

void TakeOverDialogScaling(HWND dialog) {
  using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
  static const auto pfnSetBehavior =
      GetSystemFunction<SetDialogDpiChangeBehaviorFn>(L"user32.dll", "SetDialogDpiChangeBehavior");
  if (pfnSetBehavior != nullptr) pfnSetBehavior(dialog, kDialogDisableAll, kDialogDisableAll);
}

void RescaleDialogContents(HWND dialog, int toDpi, int fromDpi, std::vector<CFont>& fonts) {
  std::map<HFONT, HFONT> scaled;
  const auto scaleFont = [&](HFONT font) -> HFONT {
    if (font == nullptr) return nullptr;
    if (auto found = scaled.find(font); found != scaled.end()) return found->second;
    LOGFONTW lf{};
    if (::GetObjectW(font, sizeof lf, &lf) == 0) return nullptr;
    // The controls grow in proportion, a font's line not quite (its
    // ascent and descent round each on their own): the line must stay
    // within what its control grew to, or the text's foot is cut.
    const int lineLimit = ScaleMetric(LineHeight(font), toDpi, fromDpi);
    lf.lfHeight = ScaleMetric(lf.lfHeight, toDpi, fromDpi);
    lf.lfWidth = ScaleMetric(lf.lfWidth, toDpi, fromDpi);
    CFont result(::CreateFontIndirectW(&lf));
    for (int tries = 0; tries < 3 && result && LineHeight(result.get()) > lineLimit && std::abs(lf.lfHeight) > 1;
         ++tries) {
      lf.lfHeight += lf.lfHeight < 0 ? 1 : -1;
      result.reset(::CreateFontIndirectW(&lf));
    }
    fonts.push_back(std::move(result));
    scaled[font] = fonts.back().get();
    return fonts.back().get();
  };
  const auto setFont = [&](HWND hwnd) {
    if (HFONT font = scaleFont(reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0))))
      ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  };

  setFont(dialog);
  std::vector<HWND> inside;
  ::EnumChildWindows(dialog, &CollectWindow, reinterpret_cast<LPARAM>(&inside));
  for (HWND hwnd : inside) {
    // Windows inside a control are the control's to place and to give its
    // font (a list its heading, a combo box its field).
    if (!IsDialogWindow(::GetParent(hwnd)) && !IsDialogWindow(hwnd)) continue;
    const RECT rc = ChildRect(hwnd);
    const int left = ScaleMetric(rc.left, toDpi, fromDpi);
    const int top = ScaleMetric(rc.top, toDpi, fromDpi);
    ::MoveWindow(hwnd, left, top, ScaleMetric(rc.right, toDpi, fromDpi) - left,
                 ScaleMetric(rc.bottom, toDpi, fromDpi) - top, FALSE);
    setFont(hwnd);
    if (HasClass(hwnd, WC_LISTVIEWW)) ScaleColumns(hwnd, toDpi, fromDpi);
  }
  for (HWND hwnd : inside) ::SendMessageW(hwnd, MSG_DPICHANGED_AFTERPARENT, 0, 0);
  // The fonts made for the resolution before go once no window shows them:
  // however often the resolution changes, the dialog holds one set.
  std::set<HFONT> shown = {reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0))};
  inside.clear();
  ::EnumChildWindows(dialog, &CollectWindow, reinterpret_cast<LPARAM>(&inside));
  for (HWND hwnd : inside) shown.insert(reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  fonts.erase(std::remove_if(fonts.begin(), fonts.end(),
                             [&](const CFont& font) {
                               return scaled.count(font.get()) != 0 && shown.count(font.get()) == 0;
                             }),
              fonts.end());
  ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace vantoric
