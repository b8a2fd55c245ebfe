// Guards that run before a change to an adapter's addresses or DNS servers:
// addresses that cannot work, an address that another adapter holds, open
// connections on an address, and the last address of an adapter that
// reaches beyond its link. Each guard answers proceed, warn (a Yes/No box,
// No the default) or refuse (an error box, nothing is sent), with the box's
// text. The system facts come in as plain data: connection_guard_win32
// reads them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/adapter_records.h"

namespace vantoric {

// Texts of the boxes. "%1" and "%2" stand for the inserts that each names.
// FillGuardText puts them in.

// Add Address and Address Properties refuse; %1 is the address.
inline constexpr std::string_view GUARD_UNSPECIFIED_ADDRESS =
    "The unspecified address :: stands for no address at all and cannot be given to an adapter. "
    "Enter the address that the adapter is to have.";
inline constexpr std::string_view GUARD_MULTICAST_ADDRESS =
    "%1 is a multicast address (ff00::/8). A multicast address names a group of listeners and cannot be given "
    "to an adapter. Enter a unicast address.";
inline constexpr std::string_view GUARD_IPV4_MAPPED_ADDRESS =
    "%1 is an IPv4-mapped address (::ffff:0:0/96). It stands for an IPv4 address inside programs and cannot be "
    "given to an adapter. Set IPv4 addresses in the adapter's IPv4 settings, or enter an IPv6 address.";

// Add Address and Address Properties warn; the question of the change
// follows. %1 is the address, %2 the adapter that holds it.
inline constexpr std::string_view GUARD_LOOPBACK_ADDRESS =
    "::1 is the loopback address. Traffic to it never leaves this machine, and the loopback interface already "
    "has it. Enter the address at which other machines are to reach this adapter.";
inline constexpr std::string_view GUARD_ADDRESS_ON_OTHER_ADAPTER =
    "%1 is already an address of %2. With one address on two adapters, the machine can become unreachable at it "
    "on both. Remove it from %2 first, or choose another address.";
inline constexpr std::string_view GUARD_SITE_LOCAL_ADDRESS =
    "%1 is a site-local address (fec0::/10). Site-local addresses are deprecated, and many systems and routers "
    "no longer handle them. Use a unique local address (fd00::/8) instead.";

// The Add DNS dialog refuses; %1 is the server, %2 its 1-based position.
inline constexpr std::string_view GUARD_DNS_UNSPECIFIED =
    "The unspecified address :: names no server. Enter the address of the DNS server.";
inline constexpr std::string_view GUARD_DNS_MULTICAST =
    "%1 is a multicast address (ff00::/8) and names no single server. Enter the unicast address of the DNS "
    "server.";
inline constexpr std::string_view GUARD_DNS_ALREADY_LISTED =
    "%1 is already DNS server %2 in the list. Enter another server, or cancel to keep the list as it is.";
// Wherever a DNS server enters (Add DNS, an /apply file, Undo), these
// refuse text that is more than an address; %1 is the text.
inline constexpr std::string_view GUARD_DNS_NOT_ADDRESS = "\"%1\" is not an IPv6 address";
inline constexpr std::string_view GUARD_DNS_ZONE =
    "\"%1\" is not a DNS server address: the text from \"%\" on is a zone, which only a link-local address can "
    "have. Give the server's address alone.";
inline constexpr std::string_view GUARD_DNS_ZONE_NOT_NUMBER =
    "\"%1\" is not a DNS server address: the zone of a link-local server, after \"%\", can only be the number of "
    "its interface. Give the server's address alone.";
// The Add DNS dialog warns; the question of adding follows.
inline constexpr std::string_view GUARD_DNS_LINK_LOCAL =
    "%1 is a link-local address. The server is reached at it only on the link of this adapter, through this "
    "adapter. Enter the server's global or unique local address if it has one.";

// Open connections on an address that is removed or replaced:
// "<count><named>. <drop><own>. <question>", for example "2 open connections
// use 2001:db8::5, one of them a Remote Desktop session from 2001:db8::99.
// Removing the address will drop them, and you may lose your own connection
// to this machine. Remove it anyway?".
inline constexpr std::string_view GUARD_ONE_CONNECTION = "1 open connection uses %1";       // the address
inline constexpr std::string_view GUARD_CONNECTIONS = "%1 open connections use %2";        // count, address
inline constexpr std::string_view GUARD_CONNECTIONS_ALL_NAMED = ": %1.";                   // the named list
inline constexpr std::string_view GUARD_CONNECTIONS_ONE_OF_THEM = ", one of them %1.";     // one named
inline constexpr std::string_view GUARD_CONNECTIONS_AMONG_THEM = ", among them %1.";       // several named
inline constexpr std::string_view GUARD_CONNECTIONS_NONE_NAMED = ".";
inline constexpr std::string_view GUARD_REMOVING_DROPS = " Removing the address will drop %1";    // it, them
inline constexpr std::string_view GUARD_REPLACING_DROPS = " Replacing the address will drop %1";  // it, them
inline constexpr std::string_view GUARD_OWN_CONNECTION_AT_RISK =
    ", and you may lose your own connection to this machine";
// What the connections on the best-known local ports are: one (%1 the
// remote address) or several (%1 their count).
inline constexpr std::string_view GUARD_REMOTE_DESKTOP_ONE = "a Remote Desktop session from %1";
inline constexpr std::string_view GUARD_REMOTE_DESKTOP_MANY = "%1 Remote Desktop sessions";
inline constexpr std::string_view GUARD_SSH_ONE = "an SSH session from %1";
inline constexpr std::string_view GUARD_SSH_MANY = "%1 SSH sessions";
inline constexpr std::string_view GUARD_REMOTE_MANAGEMENT_ONE = "a Windows Remote Management session from %1";
inline constexpr std::string_view GUARD_REMOTE_MANAGEMENT_MANY = "%1 Windows Remote Management sessions";
inline constexpr std::string_view GUARD_FILE_SHARING_ONE = "a file sharing connection from %1";
inline constexpr std::string_view GUARD_FILE_SHARING_MANY = "%1 file sharing connections";

// Removing the only global address of an adapter that has a default
// gateway; %1 is the address, %2 the adapter.
inline constexpr std::string_view GUARD_LAST_GLOBAL_ADDRESS =
    "%1 is the only global address of %2, which has a default gateway. Without it the machine will lose IPv6 "
    "connectivity on %2 beyond the local link. Add another global address first if the adapter is to stay "
    "reachable.";

// The questions that end a warning, by the change asked for.
inline constexpr std::string_view GUARD_ADD_QUESTION = "Add it anyway?";
inline constexpr std::string_view GUARD_APPLY_QUESTION = "Apply the change anyway?";
inline constexpr std::string_view GUARD_REMOVE_QUESTION = "Remove it anyway?";

// Notes for the command history where a fact could not be read: no box is
// shown and nothing is claimed. %1 is the address, or the adapter.
inline constexpr std::string_view GUARD_CONNECTIONS_UNCHECKED = "Open connections on %1 could not be checked.";
inline constexpr std::string_view GUARD_GATEWAY_UNCHECKED = "Whether %1 has a default gateway could not be checked.";

// The local ports whose connections the warning names.
constexpr std::uint16_t PORT_SSH = 22;
constexpr std::uint16_t PORT_FILE_SHARING = 445;
constexpr std::uint16_t PORT_REMOTE_DESKTOP = 3389;
constexpr std::uint16_t PORT_REMOTE_MANAGEMENT_HTTP = 5985;
constexpr std::uint16_t PORT_REMOTE_MANAGEMENT_HTTPS = 5986;

// `pattern` with "%1" to "%9" replaced by the inserts, in one pass: an
// insert's own "%" (a zone, an adapter name) stays as it is.
std::string FillGuardText(std::string_view pattern, std::initializer_list<std::string_view> inserts);

enum class GuardOutcome {
  Proceed,  // the change goes on to its own confirmation or command
  Warn,     // ask Yes/No first, No the default
  Refuse,   // tell why; nothing is sent
};

enum class GuardReason {
  None,
  Unspecified,
  Multicast,
  Ipv4Mapped,
  Loopback,
  OnOtherAdapter,
  SiteLocal,
  AlreadyListed,
  LinkLocalServer,
  OpenConnections,
  LastGlobalAddress,
  OnlyDefaultRoute,
  NotChecked,  // a fact could not be read: proceed, with a note for the history
};

// What a guard answers. m_strText is the box's text for Warn and Refuse,
// the history's note for NotChecked, empty otherwise.
struct CGuardVerdict {
  GuardOutcome m_outcome = GuardOutcome::Proceed;
  GuardReason m_reason = GuardReason::None;
  std::string m_strText;

  bool operator==(const CGuardVerdict&) const = default;
};

// The change that a guard is asked about; it chooses the warning's question.
enum class AddressChange { Add, Replace, Remove };

// An IPv6 address in network byte order.
using CIpv6Bytes = std::array<std::uint8_t, 16>;

// Reads IPv6 address text as RFC 4291 section 2.2 writes it: up to eight
// groups of one to four hexadecimal digits (either case) separated by ":",
// at most one "::" standing for one or more zero groups, and optionally a
// dotted IPv4 address in place of the last two groups. A zone suffix
// ("%4") is ignored. Returns false for anything else, white space
// included; `bytes` is written only on success.
bool ParseIpv6Bytes(std::string_view text, CIpv6Bytes& bytes);

// Whether two texts name one address, zones ignored (fe80::1%4 and
// FE80:0::1 are the same); a text that does not parse matches nothing.
bool IsSameAddress(std::string_view first, std::string_view second);
// Whether two route destinations ("2001:db8::/48") are one prefix: the same
// length after "/" and the same address (IsSameAddress); a text without "/"
// matches only the same text.
bool IsSamePrefix(std::string_view first, std::string_view second);
// Whether two next hops are one: both on-link (empty), or the same address.
bool IsSameHop(std::string_view first, std::string_view second);
// Whether text is a prefix: an IPv6 address without a zone, "/" and a
// length of 0 to 128 in decimal digits.
bool IsPrefixText(std::string_view text);

// fe80::/10
bool IsLinkLocalAddress(const CIpv6Bytes& bytes);

// A DNS server as it enters, from the Add DNS dialog, an /apply file or an
// Undo: IPv6 address text and nothing else. A zone ("%4") is refused, with
// the reason, except a numeric zone on a link-local address, which is left
// out: the command names the interface already. m_strServer is the server
// to send; m_strRefusal says why there is none (GUARD_DNS_NOT_ADDRESS,
// GUARD_DNS_ZONE, GUARD_DNS_ZONE_NOT_NUMBER).
struct CDnsServerCheck {
  bool m_bPassed = false;
  std::string m_strServer;
  std::string m_strRefusal;
};
CDnsServerCheck CheckDnsServerText(std::string_view text);

// An address that an adapter holds, with the adapter's friendly name.
struct CHeldAddress {
  std::string m_strAdapter;
  std::string m_strAddress;
};

// The addresses of every record except the one at index `self`, in record
// order.
std::vector<CHeldAddress> AddressesOfOtherAdapters(const CAdapterRecord* records, std::size_t count,
                                                   std::size_t self);

// The address that Add Address is to add, or that Address Properties is to
// put in place of the old one (change Add or Replace). Refuses ::, multicast
// and IPv4-mapped addresses; warns for ::1, for an address that one of
// `otherAdapters` holds (link-local ones excepted: each link has its own)
// and for site-local addresses, in that order. The documentation prefix
// 2001:db8::/32 is an address like any other. Text that does not parse
// proceeds: the dialog's own check refuses it.
CGuardVerdict CheckNewAddress(std::string_view address, const std::vector<CHeldAddress>& otherAdapters,
                              AddressChange change);

// The server that Add DNS is to add to an adapter whose list is `servers`.
// Refuses :: and multicast addresses and a server that the list already has
// (naming its first position, from 1); warns for a link-local server.
CGuardVerdict CheckNewDnsServer(std::string_view server, const std::vector<std::string>& servers);

// One established TCP connection over IPv6, as the system's table has it.
struct CTcpConnection {
  std::string m_strLocalAddress;
  std::uint16_t m_nLocalPort = 0;
  std::string m_strRemoteAddress;
  std::uint16_t m_nRemotePort = 0;
};

// The established connections, or that the table could not be read (which
// is not the same as no connections).
struct CConnectionReading {
  bool m_bRead = false;
  std::vector<CTcpConnection> m_connections;
};

// Open connections on an address that is removed or replaced (change Remove
// or Replace): warns when any connection's local address is `address`,
// naming how many and what the ones on the best-known local ports are.
// An unread table gives NotChecked with its note.
CGuardVerdict CheckOpenConnections(std::string_view address, const CConnectionReading& reading,
                                   AddressChange change);

// Whether an adapter has a default IPv6 gateway.
enum class DefaultRoute {
  Present,     // a ::/0 route through a gateway
  Absent,
  Unknown,     // this Windows cannot tell (version 5.2)
  Unreadable,  // the route table or the adapter could not be read
};

// One IPv6 route as the system's route table has it: the interface it leads
// through (its LUID), the destination prefix length and the next hop.
struct CRouteEntry {
  std::uint64_t m_nInterface = 0;
  int m_nPrefixLength = 0;
  CIpv6Bytes m_nextHop{};
};

// Whether the interface has a default gateway among the IPv6 routes: a ::/0
// route (the table's destinations are ::/0 where the length is 0) through
// a next hop. A ::/0 route without one, as the reject route that a host
// keeps on loopback, leads to no gateway. Present or Absent.
DefaultRoute DefaultRouteOf(std::uint64_t interfaceId, const std::vector<CRouteEntry>& routes);

// Removing `address` from the adapter `adapterName` whose addresses are
// `addresses`: warns when it is the adapter's only usable global address
// (neither link-local nor loopback; duplicate and invalid ones do not
// count) and the adapter has a default gateway. Where the gateway is not
// known, a last global address gives NotChecked with its note.
CGuardVerdict CheckLastGlobalAddress(std::string_view address, std::string_view adapterName,
                                     const std::vector<CAddressRecord>& addresses, DefaultRoute route);

}  // namespace vantoric
