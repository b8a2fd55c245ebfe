#include "framework/accessible_object.h"

#include <oleacc.h>
#include <oleidl.h>

#include <utility>

#include "framework/system_library.h"

namespace vantoric {

namespace {

using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
using CoUninitializeFn = void(WINAPI*)();

// Whether this thread was made a COM apartment here (screen readers call
// the objects from their own processes), and whether that was tried.
enum class Apartment { Untried, Entered, Failed };
thread_local Apartment t_apartment = Apartment::Untried;

// Makes the thread an apartment at the first question rather than at
// start-up, which it would slow for every user; ole32 comes from the
// system folder. A thread whose COM is already set up another way keeps it.
void EnterApartment() {
  if (t_apartment != Apartment::Untried) return;
  const auto pfnInit = GetSystemFunction<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx");
  t_apartment = pfnInit != nullptr && SUCCEEDED(pfnInit(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))
                    ? Apartment::Entered
                    : Apartment::Failed;
}

// Delegates every call to the standard object, except the texts it has
// better ones for.
class CAccessibleOverride final : public IAccessible, public IOleWindow {
 public:
  CAccessibleOverride(HWND hwnd, IAccessible* pStandard, CAccessibleTexts texts, SysAllocStringLenFn pfnAlloc)
      : m_hWnd(hwnd), m_pStandard(pStandard), m_texts(std::move(texts)), m_pfnAlloc(pfnAlloc) {}
  CAccessibleOverride(const CAccessibleOverride&) = delete;
  CAccessibleOverride& operator=(const CAccessibleOverride&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    // One identity: every interface is this object's own, none is handed
    // on to the standard object (whose IUnknown would be another).
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
      *ppv = static_cast<IAccessible*>(this);
    } else if (riid == __uuidof(IOleWindow)) {
      *ppv = static_cast<IOleWindow*>(this);
    } else {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  // The window that the object stands for (WindowFromAccessibleObject).
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
    if (phwnd == nullptr) return E_POINTER;
    *phwnd = m_hWnd;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = ::InterlockedDecrement(&m_nRefs);
    if (refs == 0) {
      m_pStandard->Release();
      delete this;
    }
    return static_cast<ULONG>(refs);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* p) override { return m_pStandard->GetTypeInfoCount(p); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** p) override {
    return m_pStandard->GetTypeInfo(i, l, p);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
    return m_pStandard->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                   UINT* a) override {
    return m_pStandard->Invoke(d, r, l, f, p, v, e, a);
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return m_pStandard->get_accParent(p); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* p) override { return m_pStandard->get_accChildCount(p); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT v, IDispatch** p) override { return m_pStandard->get_accChild(v, p); }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT v, BSTR* p) override {
    if (Text(m_texts.name, v, p)) return S_OK;
    return m_pStandard->get_accName(v, p);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT v, BSTR* p) override {
    if (Text(m_texts.value, v, p)) return S_OK;
    return m_pStandard->get_accValue(v, p);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT v, BSTR* p) override {
    return m_pStandard->get_accDescription(v, p);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT v, VARIANT* p) override { return m_pStandard->get_accRole(v, p); }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT v, VARIANT* p) override { return m_pStandard->get_accState(v, p); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT v, BSTR* p) override { return m_pStandard->get_accHelp(v, p); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* p, VARIANT v, long* t) override {
    return m_pStandard->get_accHelpTopic(p, v, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT v, BSTR* p) override {
    return m_pStandard->get_accKeyboardShortcut(v, p);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* p) override { return m_pStandard->get_accFocus(p); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* p) override { return m_pStandard->get_accSelection(p); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT v, BSTR* p) override {
    return m_pStandard->get_accDefaultAction(v, p);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT v) override { return m_pStandard->accSelect(f, v); }
  HRESULT STDMETHODCALLTYPE accLocation(long* l, long* t, long* w, long* h, VARIANT v) override {
    return m_pStandard->accLocation(l, t, w, h, v);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* p) override {
    return m_pStandard->accNavigate(d, s, p);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* p) override { return m_pStandard->accHitTest(x, y, p); }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT v) override { return m_pStandard->accDoDefaultAction(v); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT v, BSTR n) override { return m_pStandard->put_accName(v, n); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT v, BSTR n) override { return m_pStandard->put_accValue(v, n); }

 private:
  ~CAccessibleOverride() = default;

  // The control's own text for the window or item `child` as a new BSTR.
  bool Text(const AccessibleText& source, const VARIANT& child, BSTR* pText) const {
    if (!source || pText == nullptr || child.vt != VT_I4 || !::IsWindow(m_hWnd)) return false;
    std::wstring text;
    if (!source(child.lVal, text)) return false;
    *pText = m_pfnAlloc(text.data(), static_cast<UINT>(text.size()));
    return *pText != nullptr;
  }

  LONG m_nRefs = 1;
  HWND m_hWnd;
  IAccessible* m_pStandard;
  CAccessibleTexts m_texts;
  SysAllocStringLenFn m_pfnAlloc;
};

}  // namespace

bool AnswerAccessibleObject(HWND hwnd, WPARAM wp, LPARAM lp, const CAccessibleTexts& texts, LRESULT& result) {
  if (static_cast<LONG>(lp) != static_cast<LONG>(OBJID_CLIENT)) return false;
  const auto pfnCreate = GetSystemFunction<CreateStdAccessibleObjectFn>(L"oleacc.dll", "CreateStdAccessibleObject");
  const auto pfnLresult = GetSystemFunction<LresultFromObjectFn>(L"oleacc.dll", "LresultFromObject");
  const auto pfnAlloc = GetSystemFunction<SysAllocStringLenFn>(L"oleaut32.dll", "SysAllocStringLen");
  if (pfnCreate == nullptr || pfnLresult == nullptr || pfnAlloc == nullptr) return false;
  IAccessible* pStandard = nullptr;
  if (FAILED(pfnCreate(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&pStandard))) ||
      pStandard == nullptr)
    return false;
  EnterApartment();
  auto* pObject = new CAccessibleOverride(hwnd, pStandard, texts, pfnAlloc);
  result = pfnLresult(__uuidof(IAccessible), wp, static_cast<IAccessible*>(pObject));
  // LresultFromObject holds its own reference for the asker.
  pObject->Release();
  return SUCCEEDED(static_cast<HRESULT>(result));
}

void LeaveAccessibleApartment() {
  if (t_apartment == Apartment::Entered) {
    if (const auto pfnUninit = GetSystemFunction<CoUninitializeFn>(L"ole32.dll", "CoUninitialize")) pfnUninit();
  }
  t_apartment = Apartment::Untried;
}

}  // namespace vantoric
