#include "core/system_settings_win32.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {
namespace {

CSystemFactsSource g_source;

// The locator's class and interface, spelled out so that no library of
// GUIDs is linked.
constexpr CLSID CLSID_VANTORIC_WBEM_LOCATOR = {
    0x4590f811, 0x1d3a, 0x11d0, {0x89, 0x1f, 0x00, 0xaa, 0x00, 0x4b, 0x2e, 0x24}};
constexpr IID IID_VANTORIC_WBEM_LOCATOR = {
    0xdc12a687, 0x737f, 0x11cf, {0x88, 0x4d, 0x00, 0xaa, 0x00, 0x4b, 0x2e, 0x24}};

// How long one instance of a class is waited for.
constexpr long NEXT_TIMEOUT_MS = 5000;

// The COM and automation functions, loaded from the system folder.
struct CComFunctions {
  decltype(&::CoInitializeEx) m_pfnInitialize = GetSystemFunction<decltype(&::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
  decltype(&::CoUninitialize) m_pfnUninitialize =
      GetSystemFunction<decltype(&::CoUninitialize)>(L"ole32.dll", "CoUninitialize");
  decltype(&::CoCreateInstance) m_pfnCreate =
      GetSystemFunction<decltype(&::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  decltype(&::CoSetProxyBlanket) m_pfnBlanket =
      GetSystemFunction<decltype(&::CoSetProxyBlanket)>(L"ole32.dll", "CoSetProxyBlanket");
  decltype(&::SysAllocString) m_pfnAlloc =
      GetSystemFunction<decltype(&::SysAllocString)>(L"oleaut32.dll", "SysAllocString");
  decltype(&::SysFreeString) m_pfnFree = GetSystemFunction<decltype(&::SysFreeString)>(L"oleaut32.dll", "SysFreeString");
  decltype(&::VariantClear) m_pfnClear = GetSystemFunction<decltype(&::VariantClear)>(L"oleaut32.dll", "VariantClear");

  bool IsComplete() const {
    return m_pfnInitialize && m_pfnUninitialize && m_pfnCreate && m_pfnBlanket && m_pfnAlloc && m_pfnFree &&
           m_pfnClear;
  }
};

const CComFunctions& Com() {
  static const CComFunctions functions;
  return functions;
}

// Releases a COM interface at the end of its scope.
template <typename T>
class CComRef {
 public:
  CComRef() = default;
  ~CComRef() {
    if (m_p != nullptr) m_p->Release();
  }
  CComRef(CComRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  CComRef(const CComRef&) = delete;
  CComRef& operator=(const CComRef&) = delete;
  T* operator->() const { return m_p; }
  T** Out() { return &m_p; }
  T* get() const { return m_p; }

 private:
  T* m_p = nullptr;
};

class CBstr {
 public:
  explicit CBstr(const wchar_t* text) : m_bstr(Com().m_pfnAlloc(text)) {}
  ~CBstr() { Com().m_pfnFree(m_bstr); }
  CBstr(const CBstr&) = delete;
  CBstr& operator=(const CBstr&) = delete;
  operator BSTR() const { return m_bstr; }

 private:
  BSTR m_bstr;
};

class CVariant {
 public:
  CVariant() { ::ZeroMemory(&m_value, sizeof m_value); }
  ~CVariant() { Com().m_pfnClear(&m_value); }
  CVariant(const CVariant&) = delete;
  CVariant& operator=(const CVariant&) = delete;
  VARIANT* get() { return &m_value; }
  const VARIANT& value() const { return m_value; }

 private:
  VARIANT m_value;
};

// A number property (WMI hands uint32 as VT_I4, uint8 as VT_UI1); false
// when the instance does not have it as a number.
bool GetNumber(IWbemClassObject* object, const wchar_t* name, std::uint32_t& out) {
  CVariant value;
  if (FAILED(object->Get(name, 0, value.get(), nullptr, nullptr))) return false;
  switch (value.value().vt) {
    case VT_I4:
      out = static_cast<std::uint32_t>(value.value().lVal);
      return true;
    case VT_UI4:
      out = value.value().ulVal;
      return true;
    case VT_I2:
      out = static_cast<std::uint32_t>(value.value().iVal);
      return true;
    case VT_UI1:
      out = value.value().bVal;
      return true;
    default:
      return false;
  }
}

std::string GetText(IWbemClassObject* object, const wchar_t* name) {
  CVariant value;
  if (FAILED(object->Get(name, 0, value.get(), nullptr, nullptr)) || value.value().vt != VT_BSTR ||
      value.value().bstrVal == nullptr)
    return {};
  return Narrow(value.value().bstrVal);
}

// Every instance of a class; empty when the class cannot be read.
std::vector<CComRef<IWbemClassObject>> ReadInstances(IWbemServices* services, const wchar_t* className) {
  std::vector<CComRef<IWbemClassObject>> instances;
  const CBstr language(L"WQL");
  const CBstr query((std::wstring(L"SELECT * FROM ") + className).c_str());
  CComRef<IEnumWbemClassObject> enumerator;
  if (FAILED(services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                 enumerator.Out())))
    return instances;
  Com().m_pfnBlanket(enumerator.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                     RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  for (;;) {
    IWbemClassObject* object = nullptr;
    ULONG returned = 0;
    if (enumerator->Next(NEXT_TIMEOUT_MS, 1, &object, &returned) != WBEM_S_NO_ERROR || returned == 0) break;
    instances.emplace_back();
    *instances.back().Out() = object;
  }
  return instances;
}

// The instance of the active store where a class lists one per store.
IWbemClassObject* ActiveInstance(const std::vector<CComRef<IWbemClassObject>>& instances) {
  for (const auto& instance : instances)
    if (GetText(instance.get(), L"PolicyStore") == "ActiveStore") return instance.get();
  return instances.empty() ? nullptr : instances.front().get();
}

void ReadProtocol(IWbemServices* services, CSystemFacts& facts) {
  const auto instances = ReadInstances(services, L"MSFT_NetIPv6Protocol");
  if (instances.empty()) return;
  IWbemClassObject* protocol = instances.front().get();
  facts.m_bProtocolRead = GetNumber(protocol, L"UseTemporaryAddresses", facts.m_nUseTemporaryAddresses) &&
                          GetNumber(protocol, L"RandomizeIdentifiers", facts.m_nRandomizeIdentifiers);
  // The class's datetime properties come as CIM interval texts; the
  // MaxTemporary... names are only the cmdlet's parameters.
  facts.m_strMaxValidLifetime = GetText(protocol, L"MaxValidLifetime");
  facts.m_strMaxPreferredLifetime = GetText(protocol, L"MaxPreferredLifetime");
}

void ReadPolicies(IWbemServices* services, CSystemFacts& facts) {
  // The rows of both stores may be listed; those of the active store are the
  // ones in force. A row whose store number is not documented is not taken.
  const auto instances = ReadInstances(services, L"MSFT_NetPrefixPolicy");
  const auto storeOf = [](IWbemClassObject* instance) {
    std::uint32_t store = 0;
    return GetNumber(instance, L"Store", store) ? PrefixPolicyStoreName(store) : std::string("active");
  };
  bool bAnyActive = false;
  for (const auto& instance : instances) bAnyActive = bAnyActive || storeOf(instance.get()) == "active";
  for (const auto& instance : instances) {
    const std::string store = storeOf(instance.get());
    if (store.empty() || (bAnyActive && store != "active")) continue;
    CPrefixPolicy policy;
    policy.m_strPrefix = GetText(instance.get(), L"Prefix");
    if (policy.m_strPrefix.empty() || !GetNumber(instance.get(), L"Precedence", policy.m_nPrecedence) ||
        !GetNumber(instance.get(), L"Label", policy.m_nLabel)) {
      facts.m_policies.clear();
      return;
    }
    facts.m_policies.push_back(std::move(policy));
  }
  facts.m_bPoliciesRead = !facts.m_policies.empty();
}

bool ReadState(IWbemServices* services, const wchar_t* className, const wchar_t* property, std::uint32_t& value) {
  const auto instances = ReadInstances(services, className);
  IWbemClassObject* instance = ActiveInstance(instances);
  return instance != nullptr && GetNumber(instance, property, value);
}

CSystemFacts ReadFromManagementClasses() {
  CSystemFacts facts;
  const CComFunctions& com = Com();
  if (!com.IsComplete()) return facts;
  // A thread whose COM is already set up another way still reads.
  const HRESULT init = com.m_pfnInitialize(nullptr, COINIT_APARTMENTTHREADED);
  {
    CComRef<IWbemLocator> locator;
    CComRef<IWbemServices> services;
    const CBstr space(L"ROOT\\StandardCimv2");
    if (SUCCEEDED(com.m_pfnCreate(CLSID_VANTORIC_WBEM_LOCATOR, nullptr, CLSCTX_INPROC_SERVER, IID_VANTORIC_WBEM_LOCATOR,
                                  reinterpret_cast<void**>(locator.Out()))) &&
        SUCCEEDED(locator->ConnectServer(space, nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.Out()))) {
      com.m_pfnBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                       RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
      ReadProtocol(services.get(), facts);
      ReadPolicies(services.get(), facts);
      facts.m_bTeredoRead = ReadState(services.get(), L"MSFT_NetTeredoConfiguration", L"Type", facts.m_nTeredoType);
      facts.m_bIsatapRead = ReadState(services.get(), L"MSFT_NetISATAPConfiguration", L"State", facts.m_nIsatapState);
      facts.m_bSixToFourRead =
          ReadState(services.get(), L"MSFT_Net6to4Configuration", L"State", facts.m_nSixToFourState);
    }
  }
  if (SUCCEEDED(init)) com.m_pfnUninitialize();
  return facts;
}

}  // namespace

void SetSystemFactsSource(CSystemFactsSource source) { g_source = std::move(source); }

CSystemFacts ReadSystemFacts() {
  if (g_source.m_readFacts) return g_source.m_readFacts();
  return ReadFromManagementClasses();
}

}  // namespace vantoric
