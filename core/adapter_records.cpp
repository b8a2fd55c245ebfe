#include "core/adapter_records.h"

#include <algorithm>
#include <cstdio>

#include "core/address_names.h"
#include "core/lifetime_text.h"

namespace vantoric {

namespace {

// The seconds of a lifetime the user typed and netsh accepted.
std::uint32_t TypedLifetimeSeconds(const std::string& text) {
  if (IsInfiniteLifetime(text)) return INFINITE_LIFETIME;
  const std::uint64_t seconds = LifetimeToSeconds(text);
  return seconds > MAX_FINITE_LIFETIME ? MAX_FINITE_LIFETIME : static_cast<std::uint32_t>(seconds);
}

}  // namespace

CAdapterRecord::CAdapterRecord() {
  CreateGuid(m_guid);
  if (m_guid.IsNull()) ShowGuidMessage("Unable to create new GUID!");
}

void CAdapterRecord::AddAddress(const std::string& address, const std::string& validLifetime,
                                const std::string& preferredLifetime) {
  m_workAddress.m_strAddress = address;
  m_workAddress.m_strValidLifetime = validLifetime;
  m_workAddress.m_strPreferredLifetime = preferredLifetime;
  m_workAddress.m_nValidSeconds = TypedLifetimeSeconds(validLifetime);
  m_workAddress.m_nPreferredSeconds = TypedLifetimeSeconds(preferredLifetime);
  m_workAddress.m_strKind = KindFromAddressText(address);
  m_workAddress.m_strState.clear();
  m_addresses.push_back(m_workAddress);
}

void InsertDnsServerAt(std::vector<std::string>& servers, int position, const std::string& text) {
  if (position <= 0 || static_cast<size_t>(position) > servers.size())
    servers.push_back(text);
  else
    servers.insert(servers.begin() + (position - 1), text);
}

void CAdapterRecord::InsertDnsServer(int position, const std::string& text) {
  InsertDnsServerAt(m_dnsServers, position, text);
}

void CAdapterRecord::RemoveDnsServer(int index) {
  if (index >= 0 && static_cast<size_t>(index) < m_dnsServers.size()) m_dnsServers.erase(m_dnsServers.begin() + index);
}

void CAdapterRecord::RemoveAddress(int index) {
  if (index >= 0 && static_cast<size_t>(index) < m_addresses.size()) m_addresses.erase(m_addresses.begin() + index);
}

std::string CAdapterRecord::GetAddressKind(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_addresses.size()) return {};
  return m_addresses[static_cast<size_t>(index)].m_strKind;
}

std::string CAdapterRecord::GetAddressState(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_addresses.size()) return {};
  return m_addresses[static_cast<size_t>(index)].m_strState;
}

void CAdapterRecord::SelectAddress(const std::string& text) {
  for (size_t i = 0; i < m_addresses.size(); ++i) {
    if (m_addresses[i].m_strAddress != text) continue;
    m_strSelAddress = text;
    m_strSelKind = GetAddressKind(static_cast<int>(i));
    m_strSelState = GetAddressState(static_cast<int>(i));
    m_strSelValidLifetime = m_addresses[i].m_strValidLifetime;
    m_strSelPreferredLifetime = m_addresses[i].m_strPreferredLifetime;
    m_nSelValidSeconds = m_addresses[i].m_nValidSeconds;
    m_nSelPreferredSeconds = m_addresses[i].m_nPreferredSeconds;
    return;
  }
}

std::string FormatMacText(const std::uint8_t* bytes, std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
    if (i > 0) text += '-';
    text += pair;
  }
  return text;
}

std::string CAdapterRecord::GetMacText() const {
  return FormatMacText(m_macAddress, std::min(m_macLength, MAX_MAC_LENGTH));
}

std::string CAdapterRecord::GetMacTextOrNA() const {
  std::string text = GetMacText();
  return text.empty() ? "N/A" : text;
}

std::vector<std::size_t> OrderAdapters(const std::vector<CAdapterData>& adapters) {
  std::vector<std::size_t> order;
  order.reserve(adapters.size());
  const auto ethernet = std::find_if(adapters.begin(), adapters.end(),
                                     [](const CAdapterData& a) { return a.m_nIfType == ADAPTER_TYPE_ETHERNET; });
  const std::size_t first = static_cast<std::size_t>(ethernet - adapters.begin());
  if (ethernet != adapters.end()) order.push_back(first);
  for (std::size_t i = 0; i < adapters.size(); ++i)
    if (i != first) order.push_back(i);
  return order;
}

bool IsListedHost(const std::string& host) {
  // IPv4 text has no ":"; text starting with ":" (::1 and the like) is not listed.
  const size_t colon = host.find(':');
  return colon != std::string::npos && colon != 0;
}

void SetAddressFacts(CAddressRecord& address, const CUnicastAddressData& unicast) {
  address.m_strKind = KindFromOrigins(unicast.m_nPrefixOrigin, unicast.m_nSuffixOrigin);
  address.m_strState = DadStateName(unicast.m_nDadState);
  address.m_strValidLifetime = FormatLifetime(unicast.m_nValidLifetime);
  address.m_strPreferredLifetime = FormatLifetime(unicast.m_nPreferredLifetime);
  address.m_nValidSeconds = unicast.m_nValidLifetime;
  address.m_nPreferredSeconds = unicast.m_nPreferredLifetime;
}

void FillAdapterRecord(CAdapterRecord& record, const CAdapterData& adapter, std::vector<std::string>& names) {
  record.m_strFriendlyName = adapter.m_strFriendlyName;
  record.m_strDescription = adapter.m_strDescription;
  record.m_nLuid = adapter.m_nLuid;
  record.m_nIfType = adapter.m_nIfType;
  record.m_link = adapter.m_link;
  names.push_back(record.m_strFriendlyName);
  record.m_macLength = std::min(adapter.m_macLength, MAX_MAC_LENGTH);
  std::copy(adapter.m_macAddress, adapter.m_macAddress + record.m_macLength, record.m_macAddress);
  if (!adapter.m_bSocketsStarted) return;

  for (const CUnicastAddressData& unicast : adapter.m_unicastAddresses) {
    if (!IsListedHost(unicast.m_strHost)) continue;
    CAddressRecord& work = record.m_workAddress;
    work.m_strAddress = unicast.m_strHost;
    SetAddressFacts(work, unicast);
    record.m_addresses.push_back(work);
  }
  // IPv4 servers and scoped IPv6 servers (with a zone suffix) are not listed.
  for (const std::string& server : adapter.m_dnsServers) {
    if (server.find(':') != std::string::npos && server.find('%') == std::string::npos)
      record.m_dnsServers.push_back(server);
    else if (server.find(':') == std::string::npos && !server.empty())
      ++record.m_link.m_nIpv4DnsServers;
  }
}

std::uint32_t FillSnapshot(std::size_t count, const std::function<std::vector<CAdapterData>()>& readAdapters,
                           CAdapterRecord* records, std::size_t capacity, std::size_t& needed,
                           std::vector<std::string>& names) {
  needed = count;
  if (capacity < count) return SNAPSHOT_INSUFFICIENT_BUFFER;
  if (count == 0) return SNAPSHOT_OK;
  const std::vector<CAdapterData> adapters = readAdapters();
  const std::vector<std::size_t> order = OrderAdapters(adapters);
  for (std::size_t i = 0; i < order.size() && i < capacity; ++i) FillAdapterRecord(records[i], adapters[order[i]], names);
  return SNAPSHOT_OK;
}

}  // namespace vantoric
