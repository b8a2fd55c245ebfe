#include "tests/win/support/synthetic_adapters.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "core/adapter_enumeration_win32.h"
#include "framework/utf8.h"

namespace vantoric::test {
namespace {

CSyntheticAdapterSource* g_pActive = nullptr;

struct ParsedAddress {
  SOCKADDR_STORAGE storage{};
  INT length = 0;
};

ParsedAddress Parse(const std::string& text, ULONG scopeId) {
  ParsedAddress parsed;
  auto* v6 = reinterpret_cast<SOCKADDR_IN6*>(&parsed.storage);
  auto* v4 = reinterpret_cast<SOCKADDR_IN*>(&parsed.storage);
  if (::InetPtonW(AF_INET6, Widen(text).c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_scope_id = scopeId;
    parsed.length = sizeof(SOCKADDR_IN6);
  } else if (::InetPtonW(AF_INET, Widen(text).c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    parsed.length = sizeof(SOCKADDR_IN);
  } else {
    throw std::invalid_argument("not a numeric address: " + text);
  }
  return parsed;
}

// Lays the list out from offset 0; with a base it also writes it there.
class CLayout {
 public:
  explicit CLayout(BYTE* base) : m_pBase(base) {}

  template <typename T>
  T* Alloc(size_t count = 1, size_t align = alignof(T)) {
    m_nUsed = (m_nUsed + align - 1) / align * align;
    T* at = m_pBase ? reinterpret_cast<T*>(m_pBase + m_nUsed) : nullptr;
    m_nUsed += sizeof(T) * count;
    return at;
  }
  wchar_t* Text(const std::string& utf8) {
    const std::wstring wide = Widen(utf8);
    wchar_t* at = Alloc<wchar_t>(wide.size() + 1);
    if (at) std::memcpy(at, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    return at;
  }
  char* AnsiText(const std::string& ascii) {
    char* at = Alloc<char>(ascii.size() + 1);
    if (at) std::memcpy(at, ascii.c_str(), ascii.size() + 1);
    return at;
  }
  SOCKET_ADDRESS Address(const std::string& text, ULONG scopeId) {
    const ParsedAddress parsed = Parse(text, scopeId);
    BYTE* at = Alloc<BYTE>(static_cast<size_t>(parsed.length), 8);
    if (at) std::memcpy(at, &parsed.storage, static_cast<size_t>(parsed.length));
    return SOCKET_ADDRESS{reinterpret_cast<LPSOCKADDR>(at), parsed.length};
  }
  size_t Used() const { return m_nUsed; }

 private:
  BYTE* m_pBase;
  size_t m_nUsed = 0;
};

size_t Layout(const std::vector<SyntheticAdapter>& adapters, BYTE* base) {
  CLayout layout(base);
  IP_ADAPTER_ADDRESSES* previous = nullptr;
  for (size_t i = 0; i < adapters.size(); ++i) {
    const SyntheticAdapter& a = adapters[i];
    const ULONG ifIndex = a.ifIndex ? a.ifIndex : static_cast<ULONG>(i + 1);
    auto* entry = layout.Alloc<IP_ADAPTER_ADDRESSES>();
    wchar_t* friendly = layout.Text(a.friendlyName);
    wchar_t* description = layout.Text(a.description);
    wchar_t* dnsSuffix = layout.Text("");
    char name[64];
    std::snprintf(name, sizeof name, "{%08lX-0000-0000-0000-000000000000}", ifIndex);
    char* adapterName = layout.AnsiText(name);
    if (entry) {
      entry->Length = sizeof(IP_ADAPTER_ADDRESSES);
      entry->IfIndex = ifIndex;
      entry->Luid.Value = a.luid;
      entry->Ipv6IfIndex = ifIndex;
      entry->AdapterName = adapterName;
      entry->FriendlyName = friendly;
      entry->Description = description;
      entry->DnsSuffix = dnsSuffix;
      entry->IfType = a.ifType;
      entry->OperStatus = IfOperStatusUp;
      entry->Mtu = 1500;
      entry->PhysicalAddressLength = static_cast<ULONG>(a.mac.size());
      std::memcpy(entry->PhysicalAddress, a.mac.data(), std::min<size_t>(a.mac.size(), MAX_ADAPTER_ADDRESS_LENGTH));
      if (previous) previous->Next = entry;
    }
    previous = entry;

    IP_ADAPTER_UNICAST_ADDRESS* previousUnicast = nullptr;
    for (const SyntheticAddress& u : a.unicast) {
      auto* unicast = layout.Alloc<IP_ADAPTER_UNICAST_ADDRESS>();
      const SOCKET_ADDRESS address = layout.Address(u.text, u.scopeId);
      if (!unicast) continue;
      unicast->Length = sizeof(IP_ADAPTER_UNICAST_ADDRESS);
      unicast->Address = address;
      unicast->PrefixOrigin = u.prefixOrigin;
      unicast->SuffixOrigin = u.suffixOrigin;
      unicast->DadState = u.dadState;
      unicast->ValidLifetime = u.validLifetime;
      unicast->PreferredLifetime = u.preferredLifetime;
      unicast->LeaseLifetime = u.validLifetime;
      unicast->OnLinkPrefixLength = u.prefixLength;
      if (previousUnicast)
        previousUnicast->Next = unicast;
      else
        entry->FirstUnicastAddress = unicast;
      previousUnicast = unicast;
    }

    IP_ADAPTER_DNS_SERVER_ADDRESS* previousDns = nullptr;
    for (const SyntheticDnsServer& d : a.dnsServers) {
      auto* dns = layout.Alloc<IP_ADAPTER_DNS_SERVER_ADDRESS>();
      const SOCKET_ADDRESS address = layout.Address(d.text, d.scopeId);
      if (!dns) continue;
      dns->Length = sizeof(IP_ADAPTER_DNS_SERVER_ADDRESS);
      dns->Address = address;
      if (previousDns)
        previousDns->Next = dns;
      else
        entry->FirstDnsServerAddress = dns;
      previousDns = dns;
    }
  }
  return layout.Used();
}

}  // namespace

SyntheticAddress Address(const std::string& text, IP_PREFIX_ORIGIN prefix, IP_SUFFIX_ORIGIN suffix, ULONG valid,
                         ULONG preferred, IP_DAD_STATE dad) {
  SyntheticAddress a;
  a.text = text;
  a.prefixOrigin = prefix;
  a.suffixOrigin = suffix;
  a.validLifetime = valid;
  a.preferredLifetime = preferred;
  a.dadState = dad;
  return a;
}

SyntheticAdapter Adapter(const std::string& name, IFTYPE type, std::vector<BYTE> mac,
                         std::vector<SyntheticAddress> unicast) {
  SyntheticAdapter a;
  a.friendlyName = name;
  a.description = name + " device";
  a.ifType = type;
  a.mac = std::move(mac);
  a.unicast = std::move(unicast);
  return a;
}

ULONG SyntheticListSize(const std::vector<SyntheticAdapter>& adapters) {
  return static_cast<ULONG>(Layout(adapters, nullptr));
}

void WriteSyntheticList(const std::vector<SyntheticAdapter>& adapters, void* buffer, ULONG size) {
  if (size < SyntheticListSize(adapters)) throw std::invalid_argument("buffer too small for the synthetic list");
  std::memset(buffer, 0, size);
  Layout(adapters, static_cast<BYTE*>(buffer));
}

CSyntheticAdapterSource::CSyntheticAdapterSource(std::vector<SyntheticAdapter> adapters) : m_pPrevious(g_pActive) {
  SetAdapters(std::move(adapters));
  g_pActive = this;
  SetAdapterAddressesSource(&CSyntheticAdapterSource::Query);
}

CSyntheticAdapterSource::~CSyntheticAdapterSource() {
  if (g_pActive == this) g_pActive = m_pPrevious;
  SetAdapterAddressesSource(g_pActive != nullptr ? &CSyntheticAdapterSource::Query : nullptr);
}

void CSyntheticAdapterSource::SetAdapters(std::vector<SyntheticAdapter> adapters) {
  SyntheticListSize(adapters);  // refuses bad address text here, not inside a snapshot
  m_adapters = std::move(adapters);
}

ULONG WINAPI CSyntheticAdapterSource::Query(ULONG family, ULONG flags, PVOID, PIP_ADAPTER_ADDRESSES buffer,
                                            PULONG size) {
  return g_pActive ? g_pActive->Answer(family, flags, buffer, size) : ERROR_NOT_READY;
}

ULONG CSyntheticAdapterSource::Answer(ULONG family, ULONG flags, PIP_ADAPTER_ADDRESSES buffer, PULONG size) {
  const int query = m_nQueries++;
  m_nLastFamily = family;
  m_nLastFlags = flags;
  if (beforeQuery) beforeQuery(query);
  if (!m_failures.empty()) {
    const ULONG code = m_failures.front();
    m_failures.erase(m_failures.begin());
    return code;
  }
  if (size == nullptr) return ERROR_INVALID_PARAMETER;
  if (m_adapters.empty()) return ERROR_NO_DATA;
  const ULONG needed = SyntheticListSize(m_adapters);
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    return ERROR_BUFFER_OVERFLOW;
  }
  WriteSyntheticList(m_adapters, buffer, *size);
  return NO_ERROR;
}

SyntheticSnapshot TakeSyntheticSnapshot(const std::vector<SyntheticAdapter>& adapters) {
  CSyntheticAdapterSource source(adapters);
  CAdapterReading reading;
  SyntheticSnapshot snapshot;
  size_t needed = 0;
  if (reading.EnumerateAdapters(nullptr, 0, needed, snapshot.names) != ERROR_INSUFFICIENT_BUFFER) return snapshot;
  snapshot.records.resize(needed);
  if (reading.EnumerateAdapters(snapshot.records.data(), needed, needed, snapshot.names) != 0)
    throw std::runtime_error("the synthetic snapshot could not be filled");
  return snapshot;
}

}  // namespace vantoric::test
