// An adapter's IPv6 interface settings as the Interface page shows and
// changes them: the rows and their texts, the check of what is typed with
// its limits, the question before this machine becomes a router, and the
// netsh and PowerShell lines that hold only the settings changed. Portable;
// the settings are read in interface_settings_win32.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantoric {

// How the interface finds its routers: portable copies of the system's
// NL_ROUTER_DISCOVERY_BEHAVIOR values.
constexpr int ROUTER_DISCOVERY_DISABLED = 0;
constexpr int ROUTER_DISCOVERY_ENABLED = 1;
constexpr int ROUTER_DISCOVERY_DHCP = 2;

// The limits that the check applies.
constexpr std::uint32_t IPV6_MIN_MTU = 1280;  // the smallest link MTU that IPv6 allows
// The largest link MTU taken when the adapter's own largest is not known: an
// IPv6 packet's length field counts 16 bits.
constexpr std::uint32_t MAX_UNKNOWN_LINK_MTU = 65535;
constexpr std::uint32_t MIN_INTERFACE_METRIC = 1;
constexpr std::uint32_t MAX_INTERFACE_METRIC = 9999;
constexpr std::uint32_t MAX_DAD_TRANSMITS = 10;
constexpr std::uint32_t MIN_BASE_REACHABLE_MS = 1;
constexpr std::uint32_t MAX_BASE_REACHABLE_MS = 3600000;  // one hour, the longest neighbor discovery allows

// One interface's settings as read (GetIpInterfaceEntry), or as wanted.
struct CInterfaceSettings {
  std::uint32_t m_nMtu = 1500;       // the link MTU in bytes
  std::uint32_t m_nLargestMtu = 0;   // the largest the adapter takes; 0 when not known
  bool m_bAutomaticMetric = true;
  std::uint32_t m_nMetric = 0;       // the metric in use (chosen by the system when automatic)
  bool m_bForwarding = false;
  bool m_bAdvertising = false;       // router advertisements sent
  int m_nRouterDiscovery = ROUTER_DISCOVERY_ENABLED;
  bool m_bManaged = false;           // managed address configuration
  bool m_bOtherStateful = false;     // other stateful configuration
  std::uint32_t m_nDadTransmits = 1;
  std::uint32_t m_nBaseReachableMs = 30000;
  std::uint32_t m_nReachableMs = 0;  // the current reachable time, read only
};

// The settings the page changes, in the page's order.
enum class InterfaceField {
  Mtu,
  Metric,
  Forwarding,
  Advertising,
  RouterDiscovery,
  Managed,
  OtherStateful,
  DadTransmits,
  BaseReachable,
};
constexpr std::size_t INTERFACE_FIELD_COUNT = 9;

// One row of the page's property list.
struct CInterfaceRow {
  InterfaceField m_field = InterfaceField::Mtu;
  std::string m_strName;     // "Link MTU (bytes)"
  bool m_bChoice = false;    // a choice row; otherwise typed text
  std::string m_strValue;    // text row: the value; choice row: the choices joined by "!"
  int m_nChoice = 0;         // choice row: the index of the value read
};

// The rows of `settings`, in the page's order. Choice texts are netsh's
// words: "enabled", "disabled" (and "dhcp" for router discovery). The
// metric is a choice row with the value read as its only choice ("Automatic"
// when the system chooses it): no netsh command of this page sets it.
std::vector<CInterfaceRow> MakeInterfaceRows(const CInterfaceSettings& settings);
// The current reachable time, which the page shows below the rows:
// "Current reachable time: 27500 ms".
std::string FormatReachableTime(const CInterfaceSettings& settings);

// What the page's rows hold, in InterfaceField order: typed text, or the
// choice's text.
using CInterfaceInput = std::array<std::string, INTERFACE_FIELD_COUNT>;

// The input that the rows of `settings` hold as read.
CInterfaceInput MakeInterfaceInput(const CInterfaceSettings& settings);
// Whether any row's text differs from the one read (blanks around it and
// letter case aside): what enables Apply.
bool IsInterfaceInputChanged(const CInterfaceInput& input, const CInterfaceSettings& read);

// The check of the input against the settings read: MTU, DAD transmissions
// and base reachable time decimal digits (blanks around them allowed); the
// MTU from IPV6_MIN_MTU to the adapter's largest, or to
// MAX_UNKNOWN_LINK_MTU when that is not known; DAD transmissions 0-10; the
// base reachable time 1-3600000 ms; choices one of the row's words; the
// metric row is not read (it stays as read). m_wanted is the settings as the
// input asks for them when it passed.
struct CInterfaceCheck {
  bool m_bPassed = false;
  InterfaceField m_field = InterfaceField::Mtu;  // the field refused
  std::string m_strText;                         // why; empty when passed
  CInterfaceSettings m_wanted;
};
CInterfaceCheck CheckInterfaceInput(const CInterfaceInput& input, const CInterfaceSettings& read);

// A change of the settings: the values read before and the ones sent.
struct CInterfaceChange {
  CInterfaceSettings m_before;
  CInterfaceSettings m_after;
  bool m_bActiveOnly = false;  // store=active: until the next restart only
};

// The fields whose values differ between before and after, in page order;
// never the metric, which no line of the page sets.
std::vector<InterfaceField> ChangedInterfaceFields(const CInterfaceSettings& before, const CInterfaceSettings& after);

// Whether the change turns on forwarding or advertising, which makes this
// machine a router for its links; and the question asked first, which
// names the adapter and what is turned on.
bool TurnsOnRouting(const CInterfaceChange& change);
std::string FormatRouterQuestion(std::string_view adapterName, const CInterfaceChange& change);

// interface ipv6 set interface "<name>" with only the changed settings
// (mtu=, forwarding=, advertise=, routerdiscovery=, managedaddress=,
// otherstateful=, dadtransmits=, basereachabletime=, in page order) and
// store=active or store=persistent.
std::string FormatSetInterfaceCommand(std::string_view interfaceName, const CInterfaceChange& change);
// Set-NetIPInterface -InterfaceAlias '<name>' -AddressFamily IPv6 with the
// cmdlet's parameter of each changed setting (-NlMtuBytes, -Forwarding,
// -Advertising, -RouterDiscovery, -ManagedAddressConfiguration,
// -OtherStatefulConfiguration, -DadTransmits, -BaseReachableTimeMs) and
// -PolicyStore ActiveStore for the active store. quotedName is the alias
// already quoted for Set-NetIPInterface (QuotePowerShellAlias).
std::string FormatSetInterfacePowerShell(std::string_view quotedName, const CInterfaceChange& change);

// The change that puts the values read before back, in the same store; a
// refusal when it cannot (none so far: every setting the page changes can be
// set back).
std::string PlanInterfaceUndo(const CInterfaceChange& change, CInterfaceChange& inverse);

}  // namespace vantoric
