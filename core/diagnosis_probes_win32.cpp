#include "core/diagnosis_probes_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// After the socket headers, which bring the Windows types it uses.
#include <windns.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "core/address_guards.h"
#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

std::mutex g_sourceMutex;
DiagnosisProbesMaker g_maker;

// Icmp6CreateFile, Icmp6SendEcho2 and IcmpCloseHandle (icmpapi.h,
// iphlpapi.dll; Windows XP and later). Microsoft's pages "Icmp6CreateFile
// function", "Icmp6SendEcho2 function (icmpapi.h)" and "IcmpCloseHandle
// function": with neither an event nor an APC routine, Icmp6SendEcho2
// returns after the time-out with the number of replies in the buffer,
// which holds ICMPV6_ECHO_REPLY structures followed by the data and must
// hold 8 more bytes for an ICMP error; zero means failure and GetLastError
// gives an IP_STATUS code such as IP_REQ_TIMED_OUT.
using Icmp6CreateFileFn = HANDLE(WINAPI*)();
using Icmp6SendEcho2Fn = DWORD(WINAPI*)(HANDLE icmp, HANDLE event, void* apcRoutine, void* apcContext,
                                        sockaddr_in6* source, sockaddr_in6* destination, void* requestData,
                                        WORD requestSize, void* requestOptions, void* replyBuffer, DWORD replySize,
                                        DWORD timeout);
using IcmpCloseHandleFn = BOOL(WINAPI*)(HANDLE icmp);

// ICMPV6_ECHO_REPLY_LH (ipexport.h; "ICMPV6_ECHO_REPLY_LH structure"): the
// replying address as IPV6_ADDRESS_EX (port, flow information, eight
// 16-bit groups, scope id), then the IP_STATUS and the round-trip time.
// Packed or not, IPV6_ADDRESS_EX ends before byte 28, where Status begins.
struct CEchoReply {
  std::uint16_t m_port;
  std::uint32_t m_flowInfo;
  std::uint16_t m_address[8];
  std::uint32_t m_scopeId;
  std::uint32_t m_status;
  std::uint32_t m_roundTripMs;
};
static_assert(offsetof(CEchoReply, m_status) == 28 && sizeof(CEchoReply) == 36);

// IP_STATUS codes of ipexport.h ("ICMPV6_ECHO_REPLY_LH structure").
constexpr DWORD IP_STATUS_SUCCESS = 0;
constexpr DWORD IP_STATUS_TIMED_OUT = 11010;  // IP_REQ_TIMED_OUT
constexpr DWORD IP_STATUS_FIRST = 11001;      // IP_STATUS_BASE + 1
constexpr DWORD IP_STATUS_LAST = 11050;       // IP_GENERAL_FAILURE
static_assert(ECHO_PACKET_TOO_BIG == 11009);  // IP_PACKET_TOO_BIG

// DnsQuery_W and DnsRecordListFree (windns.h, dnsapi.dll; Windows 2000 and
// later). "DnsQuery_W function (windns.h)": with DNS_QUERY_STANDARD the
// resolver's cache comes first, then the servers; the records are freed
// with DnsRecordListFree. The codes are the system's: "System Error Codes
// (9000-11999)".
using DnsQueryWFn = DNS_STATUS(WINAPI*)(PCWSTR name, WORD type, DWORD options, PVOID extra, PDNS_RECORD* results,
                                        PVOID* reserved);
using DnsRecordListFreeFn = void(WINAPI*)(PDNS_RECORD records, DNS_FREE_TYPE freeType);
static_assert(DNS_TYPE_AAAA == 28 && DNS_QUERY_STANDARD == 0);
// ntdll's own formatter needs no started socket library.
using RtlIpv6AddressToStringFn = PSTR(NTAPI*)(const IN6_ADDR* address, PSTR text);

CProbeOutcome Seen(ProbeResult result, DWORD error = 0) {
  CProbeOutcome outcome;
  outcome.m_result = result;
  outcome.m_nError = error;
  return outcome;
}

// A numeric address as a socket address; false when the text is not one.
bool SocketAddress(const CProbeAddress& to, std::uint16_t port, sockaddr_in6& address) {
  CIpv6Bytes bytes{};
  if (!ParseIpv6Bytes(to.m_strAddress, bytes)) return false;
  address = {};
  address.sin6_family = AF_INET6;
  address.sin6_port = htons(port);
  address.sin6_scope_id = to.m_nScopeId;
  std::memcpy(&address.sin6_addr, bytes.data(), bytes.size());
  return true;
}

// What a failed echo's IP_STATUS or system error says.
CProbeOutcome EchoFailure(DWORD code) {
  if (code == IP_STATUS_TIMED_OUT) return Seen(ProbeResult::TimedOut, code);
  if (code == ERROR_CALL_NOT_IMPLEMENTED || code == ERROR_NOT_SUPPORTED) return Seen(ProbeResult::NotSupported, code);
  if (code >= IP_STATUS_FIRST && code <= IP_STATUS_LAST) return Seen(ProbeResult::Unreachable, code);
  return Seen(ProbeResult::Failed, code);
}

// What a connection's Winsock error says ("Windows Sockets Error Codes").
CProbeOutcome ConnectFailure(int error) {
  switch (error) {
    case WSAECONNREFUSED:
      return Seen(ProbeResult::Refused, static_cast<DWORD>(error));
    case WSAETIMEDOUT:
      return Seen(ProbeResult::TimedOut, static_cast<DWORD>(error));
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAENETDOWN:
      return Seen(ProbeResult::Unreachable, static_cast<DWORD>(error));
    default:
      return Seen(ProbeResult::Failed, static_cast<DWORD>(error));
  }
}

class CSocketStart {
 public:
  CSocketStart() {
    WSADATA data;
    m_bStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~CSocketStart() {
    if (m_bStarted) ::WSACleanup();
  }
  CSocketStart(const CSocketStart&) = delete;
  CSocketStart& operator=(const CSocketStart&) = delete;
  bool IsStarted() const { return m_bStarted; }

 private:
  bool m_bStarted = false;
};

}  // namespace

CProbeOutcome CSystemProbes::Echo(const CProbeAddress& to, std::size_t payloadBytes, const CProbeBudget& budget) {
  static const auto pfnCreate = GetSystemFunction<Icmp6CreateFileFn>(L"iphlpapi.dll", "Icmp6CreateFile");
  static const auto pfnSend = GetSystemFunction<Icmp6SendEcho2Fn>(L"iphlpapi.dll", "Icmp6SendEcho2");
  static const auto pfnClose = GetSystemFunction<IcmpCloseHandleFn>(L"iphlpapi.dll", "IcmpCloseHandle");
  if (pfnCreate == nullptr || pfnSend == nullptr || pfnClose == nullptr) return Seen(ProbeResult::NotSupported);
  sockaddr_in6 destination{};
  if (!SocketAddress(to, 0, destination)) return Seen(ProbeResult::Failed, ERROR_INVALID_PARAMETER);
  const HANDLE icmp = pfnCreate();
  if (icmp == INVALID_HANDLE_VALUE) return EchoFailure(::GetLastError());
  // The unspecified source lets the system choose, as ping does.
  sockaddr_in6 source{};
  source.sin6_family = AF_INET6;
  std::vector<char> data(payloadBytes);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 23);
  std::vector<std::uint64_t> reply((sizeof(CEchoReply) + payloadBytes + 8 + 64) / sizeof(std::uint64_t) + 1);
  const DWORD replySize = static_cast<DWORD>(reply.size() * sizeof(std::uint64_t));
  const DWORD replies =
      pfnSend(icmp, nullptr, nullptr, nullptr, &source, &destination, data.data(), static_cast<WORD>(payloadBytes),
              nullptr, reply.data(), replySize, std::min(budget.m_nBoundMs, PROBE_BOUND_MS));
  const DWORD error = ::GetLastError();
  pfnClose(icmp);
  if (replies == 0) return EchoFailure(error);
  CEchoReply first{};
  std::memcpy(&first, reply.data(), sizeof first);
  return first.m_status == IP_STATUS_SUCCESS ? Seen(ProbeResult::Answered) : EchoFailure(first.m_status);
}

CProbeOutcome CSystemProbes::ResolveAaaa(const std::string& name, const CProbeBudget&) {
  static const auto pfnQuery = GetSystemFunction<DnsQueryWFn>(L"dnsapi.dll", "DnsQuery_W");
  static const auto pfnFree = GetSystemFunction<DnsRecordListFreeFn>(L"dnsapi.dll", "DnsRecordListFree");
  static const auto pfnToString = GetSystemFunction<RtlIpv6AddressToStringFn>(L"ntdll.dll", "RtlIpv6AddressToStringA");
  if (pfnQuery == nullptr || pfnFree == nullptr || pfnToString == nullptr) return Seen(ProbeResult::NotSupported);
  // DnsQuery_W takes no time limit: the runner stops waiting for it at the
  // probe's bound, and the call ends by itself later.
  PDNS_RECORD records = nullptr;
  const DNS_STATUS status =
      pfnQuery(Widen(name).c_str(), DNS_TYPE_AAAA, DNS_QUERY_STANDARD, nullptr, &records, nullptr);
  CProbeOutcome outcome;
  for (const DNS_RECORD* r = status == 0 ? records : nullptr; r != nullptr; r = r->pNext) {
    if (r->wType != DNS_TYPE_AAAA || r->Flags.S.Section != DnsSectionAnswer) continue;
    IN6_ADDR address;
    std::memcpy(&address, &r->Data.AAAA.Ip6Address, sizeof address);
    char text[INET6_ADDRSTRLEN] = {};
    pfnToString(&address, text);
    outcome.m_addresses.push_back(text);
  }
  if (records != nullptr) pfnFree(records, DnsFreeRecordList);
  if (status == ERROR_TIMEOUT) return Seen(ProbeResult::TimedOut, ERROR_TIMEOUT);
  if (status == DNS_NAME_DOES_NOT_EXIST || status == DNS_NO_RECORDS) return Seen(ProbeResult::NoRecord, status);
  if (status != 0) return Seen(ProbeResult::Failed, static_cast<DWORD>(status));
  if (outcome.m_addresses.empty()) return Seen(ProbeResult::NoRecord, DNS_NO_RECORDS);
  outcome.m_result = ProbeResult::Answered;
  return outcome;
}

CProbeOutcome CSystemProbes::Connect(const CProbeAddress& to, std::uint16_t port, const CProbeBudget& budget) {
  sockaddr_in6 address{};
  if (!SocketAddress(to, port, address)) return Seen(ProbeResult::Failed, ERROR_INVALID_PARAMETER);
  const CSocketStart sockets;
  if (!sockets.IsStarted()) return Seen(ProbeResult::Failed, static_cast<DWORD>(::WSAGetLastError()));
  const SOCKET s = ::socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return ConnectFailure(::WSAGetLastError());
  // "connect function (winsock2.h)": on a nonblocking socket connect
  // returns WSAEWOULDBLOCK and select then tells the end of the attempt,
  // writable when it connected, in the exception set when it failed, with
  // the reason in SO_ERROR.
  u_long nonBlocking = 1;
  CProbeOutcome outcome = Seen(ProbeResult::TimedOut, WSAETIMEDOUT);
  if (::ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
    outcome = ConnectFailure(::WSAGetLastError());
  } else if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    outcome = Seen(ProbeResult::Answered);
  } else if (const int error = ::WSAGetLastError(); error != WSAEWOULDBLOCK) {
    outcome = ConnectFailure(error);
  } else {
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::min(budget.m_nBoundMs, PROBE_BOUND_MS));
    // Short waits, so that a cancelled diagnosis lets go of the socket soon.
    while (!budget.Cancelled()) {
      const auto left = std::chrono::duration_cast<std::chrono::microseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      fd_set writable, failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(s, &writable);
      FD_SET(s, &failed);
      const long slice = static_cast<long>(std::min<long long>(left.count(), 50000));
      timeval wait{0, slice};
      const int ready = ::select(0, nullptr, &writable, &failed, &wait);
      if (ready == SOCKET_ERROR) {
        outcome = ConnectFailure(::WSAGetLastError());
        break;
      }
      if (FD_ISSET(s, &writable)) {
        outcome = Seen(ProbeResult::Answered);
        break;
      }
      if (FD_ISSET(s, &failed)) {
        int reason = 0;
        int length = sizeof reason;
        ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&reason), &length);
        outcome = ConnectFailure(reason);
        break;
      }
    }
    if (budget.Cancelled()) outcome = Seen(ProbeResult::Cancelled);
  }
  ::closesocket(s);
  return outcome;
}

void SetDiagnosisProbesSource(DiagnosisProbesMaker maker) {
  const std::lock_guard<std::mutex> lock(g_sourceMutex);
  g_maker = std::move(maker);
}

std::shared_ptr<CDiagnosisProbes> MakeDiagnosisProbes() {
  const std::lock_guard<std::mutex> lock(g_sourceMutex);
  return g_maker ? g_maker() : std::make_shared<CSystemProbes>();
}

}  // namespace vantoric
