// The guards' system facts read for real under Wine: a connection made here
// on ::1 is in the TCP table read (a closing one is not), and every
// adapter's default gateway can be asked for.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/adapter_enumeration_win32.h"
#include "core/connection_guard_win32.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

// The socket library is started for each test of the TCP table.
class CLoopbackConnections : public ::testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
  }
  void TearDown() override { ::WSACleanup(); }
};

class CSocket {
 public:
  explicit CSocket(SOCKET s = ::socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP)) : m_socket(s) {}
  ~CSocket() {
    if (m_socket != INVALID_SOCKET) ::closesocket(m_socket);
  }
  CSocket(const CSocket&) = delete;
  CSocket& operator=(const CSocket&) = delete;
  SOCKET get() const { return m_socket; }
  void Close() {
    ::closesocket(m_socket);
    m_socket = INVALID_SOCKET;
  }

  // The local port, 0 when it cannot be read.
  std::uint16_t LocalPort() const {
    sockaddr_in6 address{};
    int length = sizeof address;
    if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    return ::ntohs(address.sin6_port);
  }

 private:
  SOCKET m_socket;
};

sockaddr_in6 Loopback(std::uint16_t port) {
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  address.sin6_port = ::htons(port);
  return address;
}

std::vector<CTcpConnection> WithLocalPort(const CConnectionReading& reading, std::uint16_t port) {
  std::vector<CTcpConnection> found;
  for (const CTcpConnection& c : reading.m_connections)
    if (c.m_nLocalPort == port) found.push_back(c);
  return found;
}

bool Connect(const CSocket& client, std::uint16_t port) {
  const sockaddr_in6 address = Loopback(port);
  return ::connect(client.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

TEST_F(CLoopbackConnections, BothEndsOfAConnectionAreReadButNotTheListenerNorClosingOnes) {
  const CSocket listener;
  const sockaddr_in6 address = Loopback(0);
  ASSERT_EQ(::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener.get(), 2), 0);
  const std::uint16_t serverPort = listener.LocalPort();
  ASSERT_NE(serverPort, 0);

  // A pair whose client has closed: both ends are closing, none established.
  CSocket closingClient;
  ASSERT_TRUE(Connect(closingClient, serverPort));
  const CSocket closingServer(::accept(listener.get(), nullptr, nullptr));
  ASSERT_NE(closingServer.get(), INVALID_SOCKET);
  const std::uint16_t closingPort = closingClient.LocalPort();
  closingClient.Close();
  const auto closingListed = [&] {
    const CConnectionReading reading = ReadEstablishedConnections();
    for (const CTcpConnection& c : reading.m_connections)
      if (c.m_nLocalPort == closingPort || c.m_nRemotePort == closingPort) return true;
    return false;
  };
  EXPECT_TRUE(test::PumpUntil([&] { return !closingListed(); }, 2000)) << "a closing connection stays listed";

  const CSocket client;
  ASSERT_TRUE(Connect(client, serverPort));
  const CSocket accepted(::accept(listener.get(), nullptr, nullptr));
  ASSERT_NE(accepted.get(), INVALID_SOCKET);
  const std::uint16_t clientPort = client.LocalPort();

  const CConnectionReading reading = ReadEstablishedConnections();
  ASSERT_TRUE(reading.m_bRead);
  const std::vector<CTcpConnection> serverEnd = WithLocalPort(reading, serverPort);
  ASSERT_EQ(serverEnd.size(), 1u) << "the accepted end only: a listener is no established connection";
  EXPECT_EQ(serverEnd[0].m_strLocalAddress, "::1");
  EXPECT_EQ(serverEnd[0].m_strRemoteAddress, "::1");
  EXPECT_EQ(serverEnd[0].m_nRemotePort, clientPort);
  const std::vector<CTcpConnection> clientEnd = WithLocalPort(reading, clientPort);
  ASSERT_EQ(clientEnd.size(), 1u);
  EXPECT_EQ(clientEnd[0].m_nRemotePort, serverPort);
}

// Wine 8 lists no IPv6 routes (its route table for IPv6 is not
// implemented), so which adapter has a gateway cannot be checked here; the
// rule over the routes is DefaultRouteOf's. What runs here is the rest: the
// functions are found, each adapter of the snapshot is found by its friendly
// name, and the table is read.
TEST(ReadDefaultRoute, AnswersForEveryAdapterOfTheSnapshot) {
  CAdapterReading adapters;
  std::size_t needed = 0;
  std::vector<std::string> names;
  ASSERT_EQ(adapters.EnumerateAdapters(nullptr, 0, needed, names), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<CAdapterRecord> records(needed);
  ASSERT_EQ(adapters.EnumerateAdapters(records.data(), records.size(), needed, names), static_cast<DWORD>(NO_ERROR));
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    const DefaultRoute route = ReadDefaultRoute(name);
    EXPECT_TRUE(route == DefaultRoute::Present || route == DefaultRoute::Absent)
        << name << ": " << static_cast<int>(route);
  }
  EXPECT_EQ(ReadDefaultRoute("no adapter of this name"), DefaultRoute::Unreadable);
}

}  // namespace
}  // namespace vantoric
