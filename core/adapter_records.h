// The records of one adapter snapshot and the rules that fill them from the
// adapter data that the platform reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/guid.h"
#include "core/interface_identifiers.h"

namespace vantoric {

// The adapter type that is listed first.
constexpr std::uint32_t ADAPTER_TYPE_ETHERNET = 6;
// The number of bytes a physical address can have.
constexpr std::uint32_t MAX_MAC_LENGTH = 8;
// Results of a snapshot: filled (or nothing to fill), or too few records.
constexpr std::uint32_t SNAPSHOT_OK = 0;
constexpr std::uint32_t SNAPSHOT_INSUFFICIENT_BUFFER = 122;

// What the reading tells of an adapter's state on its link.
struct CAdapterLink {
  // The system's IF_OPER_STATUS: 1 up, 2 down, 3 testing, 4 unknown, 5
  // dormant, 6 not present, 7 lower layer down; 0 when not told.
  int m_nOperStatus = 0;
  // IPv6 is bound to the adapter: its IPv6 interface exists.
  bool m_bIpv6Enabled = false;
  // The zone (scope id) of the adapter's link-local addresses; 0 when not told.
  std::uint32_t m_nZone = 0;
  // The adapter's IPv4 DNS servers, which the records do not list.
  std::size_t m_nIpv4DnsServers = 0;
};

// One IPv6 address of an adapter: its text as the socket library prints it
// (fe80::1%4), kind, DAD state and the two lifetimes as lifetime text, which
// shows 365 days or more as "infinite"; the seconds keep the exact values.
class CAddressRecord {
 public:
  std::string m_strAddress;
  std::string m_strKind;
  std::string m_strState;
  std::string m_strValidLifetime;
  std::string m_strPreferredLifetime;
  std::uint32_t m_nValidSeconds = 0xFFFFFFFFu;
  std::uint32_t m_nPreferredSeconds = 0xFFFFFFFFu;
};

// One adapter of a snapshot. Texts are UTF-8. Filled once from the snapshot,
// then amended by the windows after each successful command.
class CAdapterRecord {
 public:
  // Creates a new GUID; shows "Unable to create new GUID!" when it is null.
  CAdapterRecord();

  // Appends an address added by hand; its kind comes from its text, its
  // state is unknown (empty) until the next snapshot.
  void AddAddress(const std::string& address, const std::string& validLifetime,
                  const std::string& preferredLifetime);
  // Position 0 appends; a position p from 1 makes the text element p
  // (1-based). A position beyond the end appends.
  void InsertDnsServer(int position, const std::string& text);
  // 0-based; an index outside the list changes nothing.
  void RemoveDnsServer(int index);
  void RemoveAddress(int index);

  // Kind or state of the address at the 0-based index; empty outside.
  std::string GetAddressKind(int index) const;
  std::string GetAddressState(int index) const;
  // Selects the first address whose text equals text exactly; no match
  // changes nothing.
  void SelectAddress(const std::string& text);

  std::vector<CAddressRecord> GetAddresses() const { return m_addresses; }
  std::string GetDescription() const { return m_strDescription; }
  std::string GetSelKind() const { return m_strSelKind; }
  std::string GetSelState() const { return m_strSelState; }
  // Upper-case hexadecimal bytes joined by "-" (00-0C-29-AB-CD-EF); empty
  // without a physical address.
  std::string GetMacText() const;
  // GetMacText, or "N/A" without a physical address.
  std::string GetMacTextOrNA() const;

  // Interface identifiers (interface_identifiers.cpp).
  // The last preferred public global address, or the all-zero address; 1
  // when one was found.
  int FindRouterAdvertisedAddress(std::string& out) const;
  // "0000:0000:0000:0000:" and the modified EUI-64 identifier of the MAC.
  std::string MakeEui64Identifier() const;
  // "0000:0000:0000:0000:" and 64 bits of a new UUID (kept in m_guid),
  // formatted as MakeIdentifierFromGuid does with `format`.
  std::string MakeRandomIdentifier(std::string_view format = IDENTIFIER_FORMAT);

  std::vector<CAddressRecord> m_addresses;
  std::vector<std::string> m_dnsServers;
  std::string m_strSelAddress;
  std::string m_strFriendlyName;
  std::string m_strDescription;
  std::string m_strSelKind;
  std::string m_strSelState;
  std::string m_strSelValidLifetime;
  std::string m_strSelPreferredLifetime;
  // The selected address's lifetimes in seconds, exact.
  std::uint32_t m_nSelValidSeconds = 0xFFFFFFFFu;
  std::uint32_t m_nSelPreferredSeconds = 0xFFFFFFFFu;
  CGuid m_guid;
  // The interface's LUID from the reading; 0 when it was not told.
  std::uint64_t m_nLuid = 0;
  // The adapter's type (IANA ifType) and link state, as read.
  std::uint32_t m_nIfType = 0;
  CAdapterLink m_link;
  std::uint8_t m_macAddress[MAX_MAC_LENGTH] = {};
  std::uint32_t m_macLength = 0;
  // Each new address is assembled here before it is appended.
  CAddressRecord m_workAddress;
};

// Bytes as upper-case hexadecimal pairs joined by "-" (00-0C-29-AB-CD-EF),
// as the main window writes a MAC; empty for none.
std::string FormatMacText(const std::uint8_t* bytes, std::size_t length);

// A DNS server list with `text` put at a position as InsertDnsServer puts it.
void InsertDnsServerAt(std::vector<std::string>& servers, int position, const std::string& text);

// One unicast address as the platform read it.
class CUnicastAddressData {
 public:
  std::string m_strHost;  // numeric host text; empty when it could not be converted
  int m_nPrefixOrigin = 0;
  int m_nSuffixOrigin = 0;
  int m_nDadState = 0;
  std::uint32_t m_nValidLifetime = 0;
  std::uint32_t m_nPreferredLifetime = 0;
};

// One adapter as the platform read it.
class CAdapterData {
 public:
  std::string m_strFriendlyName;
  std::string m_strDescription;
  std::uint32_t m_nIfType = 0;
  std::uint8_t m_macAddress[MAX_MAC_LENGTH] = {};
  std::uint32_t m_macLength = 0;
  std::vector<CUnicastAddressData> m_unicastAddresses;
  std::vector<std::string> m_dnsServers;  // numeric host texts
  // The interface's LUID; 0 when the system did not tell it (Windows 5.2).
  std::uint64_t m_nLuid = 0;
  CAdapterLink m_link;  // m_nIpv4DnsServers is counted when the record is filled
  // False when the socket library could not start: the host texts are then
  // unknown and the adapter keeps only its names and MAC.
  bool m_bSocketsStarted = true;
};

// The order in which the adapters fill the records: the first Ethernet
// adapter, then every other one in list order.
std::vector<std::size_t> OrderAdapters(const std::vector<CAdapterData>& adapters);

// Whether a unicast address with this host text is listed: IPv6 text, that
// is with a ":" that is not its first character (::1 and the like are not).
bool IsListedHost(const std::string& host);

// The facts of an address the platform read (kind, state, lifetimes, as
// texts and seconds) written into a record's address; its text stays.
void SetAddressFacts(CAddressRecord& address, const CUnicastAddressData& unicast);

// Fills one record from one adapter and appends its name to names.
void FillAdapterRecord(CAdapterRecord& record, const CAdapterData& adapter, std::vector<std::string>& names);

// The snapshot protocol over adapters that the platform has counted: needed
// receives the count; with fewer records than adapters nothing is filled and
// the result is SNAPSHOT_INSUFFICIENT_BUFFER. Otherwise, when there are
// adapters, readAdapters is asked for their data, the records are filled in
// order and one name per record is appended to names; the result is
// SNAPSHOT_OK.
std::uint32_t FillSnapshot(std::size_t count, const std::function<std::vector<CAdapterData>()>& readAdapters,
                           CAdapterRecord* records, std::size_t capacity, std::size_t& needed,
                           std::vector<std::string>& names);

}  // namespace vantoric
