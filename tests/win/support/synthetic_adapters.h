// Synthetic adapter-address lists for tests: describe adapters in plain
// fields, and the list is built as one contiguous IP_ADAPTER_ADDRESSES buffer
// (every pointer into the buffer, as the OS hands it) and installed as the
// snapshot's source.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <functional>
#include <string>
#include <vector>

#include "core/adapter_records.h"

namespace vantoric::test {

struct SyntheticAddress {
  std::string text;  // numeric IPv6 ("2001:db8::1") or IPv4 ("192.0.2.1") address
  ULONG scopeId = 0;  // zone of a scoped IPv6 address (printed as "%<scopeId>")
  IP_PREFIX_ORIGIN prefixOrigin = IpPrefixOriginManual;
  IP_SUFFIX_ORIGIN suffixOrigin = IpSuffixOriginManual;
  IP_DAD_STATE dadState = IpDadStatePreferred;
  ULONG validLifetime = 0xFFFFFFFF;
  ULONG preferredLifetime = 0xFFFFFFFF;
  UINT8 prefixLength = 64;
};

struct SyntheticDnsServer {
  std::string text;  // numeric IPv6 or IPv4 address
  ULONG scopeId = 0;
};

struct SyntheticAdapter {
  std::string friendlyName;  // UTF-8
  std::string description;   // UTF-8
  IFTYPE ifType = IF_TYPE_ETHERNET_CSMACD;
  std::vector<BYTE> mac;  // 0 to 8 bytes
  std::vector<SyntheticAddress> unicast;
  std::vector<SyntheticDnsServer> dnsServers;
  ULONG ifIndex = 0;  // 0: the adapter's position in the list plus 1
  ULONG64 luid = 0;   // 0: the system tells none
};

// An address with its origins (which make its kind), lifetimes in seconds
// and DAD state.
SyntheticAddress Address(const std::string& text, IP_PREFIX_ORIGIN prefix, IP_SUFFIX_ORIGIN suffix,
                         ULONG valid = 0xFFFFFFFF, ULONG preferred = 0xFFFFFFFF, IP_DAD_STATE dad = IpDadStatePreferred);
// An adapter described as "<name> device".
SyntheticAdapter Adapter(const std::string& name, IFTYPE type, std::vector<BYTE> mac = {},
                         std::vector<SyntheticAddress> unicast = {});

// The bytes a list needs, and the list written into a buffer of at least that
// size (8-byte aligned). Throws std::invalid_argument for address text that
// is not a numeric IPv6 or IPv4 address.
ULONG SyntheticListSize(const std::vector<SyntheticAdapter>& adapters);
void WriteSyntheticList(const std::vector<SyntheticAdapter>& adapters, void* buffer, ULONG size);

// While it lives, the snapshot reads its list instead of the OS's. It answers
// as GetAdaptersAddresses does: a buffer too small (or none) gets
// ERROR_BUFFER_OVERFLOW and the size needed, a large enough one the list and
// NO_ERROR, an empty list ERROR_NO_DATA. The latest source answers; the one
// before it answers again once it is gone.
class CSyntheticAdapterSource {
 public:
  explicit CSyntheticAdapterSource(std::vector<SyntheticAdapter> adapters = {});
  ~CSyntheticAdapterSource();
  CSyntheticAdapterSource(const CSyntheticAdapterSource&) = delete;
  CSyntheticAdapterSource& operator=(const CSyntheticAdapterSource&) = delete;

  // The list that the following queries see (a refresh may see fewer adapters).
  void SetAdapters(std::vector<SyntheticAdapter> adapters);
  const std::vector<SyntheticAdapter>& Adapters() const { return m_adapters; }

  // The next queries answer these codes, in turn, without touching the buffer.
  void QueueFailure(ULONG code) { m_failures.push_back(code); }

  // Called at the start of every query with its 0-based number, before it is
  // answered: a test can change the list between the size query and the fill.
  std::function<void(int query)> beforeQuery;

  int QueryCount() const { return m_nQueries; }
  // One query answered as the snapshot's are, for a benchmark's baseline.
  ULONG RawQuery(ULONG flags, PIP_ADAPTER_ADDRESSES buffer, PULONG size) {
    return Answer(AF_UNSPEC, flags, buffer, size);
  }
  ULONG LastFamily() const { return m_nLastFamily; }
  ULONG LastFlags() const { return m_nLastFlags; }

 private:
  static ULONG WINAPI Query(ULONG family, ULONG flags, PVOID reserved, PIP_ADAPTER_ADDRESSES buffer,
                            PULONG size);
  ULONG Answer(ULONG family, ULONG flags, PIP_ADAPTER_ADDRESSES buffer, PULONG size);

  std::vector<SyntheticAdapter> m_adapters;
  std::vector<ULONG> m_failures;
  int m_nQueries = 0;
  ULONG m_nLastFamily = 0;
  ULONG m_nLastFlags = 0;
  CSyntheticAdapterSource* m_pPrevious = nullptr;
};

// The records and the chooser's names that the program's own snapshot fills
// from `adapters`: records as the windows get them, not built by hand.
struct SyntheticSnapshot {
  std::vector<CAdapterRecord> records;
  std::vector<std::string> names;
};
SyntheticSnapshot TakeSyntheticSnapshot(const std::vector<SyntheticAdapter>& adapters);

}  // namespace vantoric::test
