// The diagnosis under Wine: the system's TCP probe against listeners this
// test starts on [::1] (answered, refused, timed out, cancelled); the
// Diagnose page driven as a user drives it, on an injected reading with a
// stand-in probe set; and `vantoric /diagnose` on the loopback adapter.
// Nothing is sent beyond the loopback addresses, and no name is resolved.
#include <winsock2.h>
#include <ws2tcpip.h>
// After the socket headers, which bring windows.h.
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "core/diagnosis_probes_win32.h"
#include "dialogs/advanced_settings_dlg.h"
#include "framework/controls.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/native/diagnosis_probe_stand_in.h"
#include "tests/win/support/connection_source.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/interface_source.h"
#include "tests/win/support/program_run.h"
#include "tests/win/support/synthetic_adapters.h"
#include "tests/win/support/system_source.h"

namespace vantoric {
namespace {

using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// Sockets of the test on [::1], closed at the end.
class CLoopbackSockets {
 public:
  CLoopbackSockets() {
    WSADATA data;
    m_bStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~CLoopbackSockets() {
    for (SOCKET s : m_sockets) ::closesocket(s);
    if (m_bStarted) ::WSACleanup();
  }
  CLoopbackSockets(const CLoopbackSockets&) = delete;
  CLoopbackSockets& operator=(const CLoopbackSockets&) = delete;

  // A socket bound to [::1] on a port the system picks, listening with
  // this backlog unless it is negative; its port.
  std::uint16_t Bound(int backlog) {
    const SOCKET s = Keep(::socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in6 address = Loopback(0);
    int length = sizeof address;
    if (::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        (backlog >= 0 && ::listen(s, backlog) != 0) ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return 0;
    return ntohs(address.sin6_port);
  }

  // Connects to the port until a connection stays unanswered: the
  // listener's queue is then full, and the system drops every further
  // handshake (as a filter that drops packets would), though nothing leaves
  // loopback. False when no connection stalled within 16 tries.
  bool FillQueue(std::uint16_t port) {
    for (int i = 0; i < 16; ++i) {
      const SOCKET s = Keep(::socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP));
      u_long nonBlocking = 1;
      ::ioctlsocket(s, FIONBIO, &nonBlocking);
      const sockaddr_in6 address = Loopback(port);
      ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
      fd_set writable;
      FD_ZERO(&writable);
      FD_SET(s, &writable);
      timeval wait{0, 300000};
      if (::select(0, nullptr, &writable, nullptr, &wait) == 0) return true;
    }
    return false;
  }

 private:
  static sockaddr_in6 Loopback(std::uint16_t port) {
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(port);
    address.sin6_addr = in6addr_loopback;
    return address;
  }
  SOCKET Keep(SOCKET s) {
    m_sockets.push_back(s);
    return s;
  }
  bool m_bStarted = false;
  std::vector<SOCKET> m_sockets;
};

const char* ResultName(ProbeResult result) {
  static const char* const kNames[] = {"NotRun",   "Answered",     "Refused", "TimedOut", "Unreachable",
                                       "NoRecord", "NotSupported", "Failed",  "Cancelled"};
  return kNames[static_cast<int>(result)];
}

TEST(SystemProbes, TcpConnectionOnTheLoopbackAddress) {
  const struct {
    const char* reason;
    int backlog;  // the listener's; -1 bound but not listening
    bool bFill;   // the listener's queue filled first
    std::uint32_t bound;
    int cancelAfterMs;  // -1: never
    ProbeResult result;
    std::uint32_t atLeastMs;
    std::uint32_t atMostMs;
  } cases[] = {
      {"a listener answers", 5, false, 2000, -1, ProbeResult::Answered, 0, 1000},
      {"a bound port that does not listen refuses", -1, false, 2000, -1, ProbeResult::Refused, 0, 1000},
      {"a listener whose queue is full stays silent until the bound", 1, true, 500, -1, ProbeResult::TimedOut, 450,
       1500},
      {"a silent connection ends soon after Cancel", 1, true, 2000, 100, ProbeResult::Cancelled, 50, 1000},
  };
  for (const auto& c : cases) {
    CLoopbackSockets sockets;
    const std::uint16_t port = sockets.Bound(c.backlog);
    ASSERT_NE(port, 0) << c.reason << ": the test's socket on [::1]";
    if (c.bFill) {
      ASSERT_TRUE(sockets.FillQueue(port)) << c.reason << ": the queue never filled";
    }
    std::atomic<bool> cancel{false};
    std::thread canceller;
    if (c.cancelAfterMs >= 0)
      canceller = std::thread([&cancel, &c] {
        std::this_thread::sleep_for(std::chrono::milliseconds(c.cancelAfterMs));
        cancel = true;
      });
    CSystemProbes probes;
    const Clock::time_point started = Clock::now();
    const CProbeOutcome outcome = probes.Connect({"::1", 0}, port, {c.bound, &cancel});
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
    if (canceller.joinable()) canceller.join();
    EXPECT_STREQ(ResultName(outcome.m_result), ResultName(c.result))
        << c.reason << " (error " << outcome.m_nError << ")";
    EXPECT_GE(took, c.atLeastMs) << c.reason;
    EXPECT_LE(took, c.atMostMs) << c.reason;
  }
}

constexpr std::uint64_t ETHERNET = 7;
constexpr int kRows = 8;

// The Advanced Settings dialog on one injected adapter whose router the
// neighbor cache has confirmed and whose prefix policies prefer IPv4, the
// probes a stand-in set.
class DiagnosePage : public ::testing::Test {
 protected:
  void SetUp() override {
    m_catcher.SetStrict(true);
    test::SyntheticAdapter ethernet = test::Adapter(
        "Ethernet 2", IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
        {test::Address("2001:db8:1::5", IpPrefixOriginRouterAdvertisement, IpSuffixOriginLinkLayerAddress),
         test::Address("fe80::20c:29ff:feab:cdef", IpPrefixOriginWellKnown, IpSuffixOriginLinkLayerAddress)});
    ethernet.dnsServers = {{"2001:db8:1::53"}};
    ethernet.luid = ETHERNET;
    m_source.SetAdapters({ethernet});
    m_guardFacts.SetInterfaceId("Ethernet 2", ETHERNET);
    m_guardFacts.SetRouteTable({RouteTableState::Read,
                                0,
                                {{ETHERNET, "::", 0, "fe80::1", 256, 1800, 1800, ROUTE_ORIGIN_ROUTER_ADVERTISEMENT}}});
    m_interfaceFacts.SetSettings(ETHERNET, CInterfaceSettings{});
    m_interfaceFacts.SetNeighbors({{ETHERNET, "fe80::1", {0x00, 0x0c, 0x29, 1, 2, 3}, NEIGHBOR_STATE_REACHABLE, true}});
    CSystemFacts facts;
    facts.m_bPoliciesRead = true;
    facts.m_policies = {{"::1/128", 50, 0}, {"::/0", 40, 1}, {"::ffff:0:0/96", 45, 4}};
    m_systemFacts.SetFacts(facts);
    SetDiagnosisProbesSource([this] { return m_probes; });

    m_snapshot = test::TakeSyntheticSnapshot(m_source.Adapters());
    m_dlg = std::make_unique<CAdvancedSettingsDlg>(m_snapshot.records.data(),
                                                   static_cast<int>(m_snapshot.records.size()), m_snapshot.names);
    m_hDlg = m_dlg->Create(nullptr);
    ASSERT_NE(m_hDlg, nullptr);
    ::ShowWindow(m_hDlg, SW_SHOW);
  }
  void TearDown() override {
    if (m_dlg && m_dlg->IsWindow()) m_dlg->DestroyWindow();
    SetDiagnosisProbesSource(nullptr);
  }

  HWND Tab() const { return ::GetDlgItem(m_hDlg, IDC_TAB_ADVANCED); }
  HWND Page(int idOnPage) const {
    for (HWND page = nullptr; (page = ::FindWindowExW(Tab(), page, L"#32770", nullptr)) != nullptr;)
      if (::GetDlgItem(page, idOnPage) != nullptr) return page;
    return nullptr;
  }
  HWND Item(int id) const { return ::GetDlgItem(m_hPage, id); }
  std::string Text(int id) const { return test::DialogItemText(m_hPage, id); }
  Strings Rows() const {
    const CListView list(Item(IDC_LIST_DIAG_CHECKS));
    Strings rows;
    for (int i = 0; i < list.GetItemCount(); ++i)
      rows.push_back(list.GetItemText(i, 0) + " | " + list.GetItemText(i, 1));
    return rows;
  }
  // Run pressed; true once the run has ended (the button reads Run again).
  bool RunToEnd(DWORD timeoutMs) {
    test::ClickButton(m_hPage, IDC_BUTTON_DIAG_RUN);
    return test::PumpUntil([&] { return Text(IDC_BUTTON_DIAG_RUN) == "&Run"; }, timeoutMs);
  }
  void Select(int row) const {
    CListView(Item(IDC_LIST_DIAG_CHECKS)).SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }

  test::CGuiTestScope m_scope{"Vantoric Diagnose Page Tests"};
  test::CMessageBoxCatcher m_catcher;
  test::CSyntheticAdapterSource m_source;
  test::CInjectedGuardFacts m_guardFacts;
  test::CInjectedInterfaceFacts m_interfaceFacts;
  test::CInjectedSystemFacts m_systemFacts;
  std::shared_ptr<test::CStandInProbes> m_probes = std::make_shared<test::CStandInProbes>();
  test::SyntheticSnapshot m_snapshot;
  std::unique_ptr<CAdvancedSettingsDlg> m_dlg;
  HWND m_hDlg = nullptr;
  HWND m_hPage = nullptr;
};

TEST_F(DiagnosePage, RunsListsConcludesOpensTheFixingPageCopiesSavesAndCancels) {
  // The DNS tab stays first; Diagnose comes last.
  const int tabs = static_cast<int>(::SendMessageW(Tab(), TCM_GETITEMCOUNT, 0, 0));
  EXPECT_NE(::GetDlgItem(test::ShowTabPage(Tab(), 0, IDC_BUTTON_ADD_HOST), IDC_BUTTON_ADD_HOST), nullptr)
      << "tab 0 is the DNS page";
  m_hPage = test::ShowTabPage(Tab(), tabs - 1, IDC_BUTTON_DIAG_RUN);
  ASSERT_NE(m_hPage, nullptr) << "the last tab is the Diagnose page";
  ASSERT_TRUE(::IsWindowVisible(m_hPage));
  EXPECT_EQ(Rows(), Strings{}) << "nothing is sent before Run";
  EXPECT_EQ(m_probes->Sent(), Strings{});

  m_probes->m_script = [](const std::string& what) {
    test::CStandInProbes::CScript script;
    script.outcome.m_result = what.rfind("connect", 0) == 0 ? ProbeResult::TimedOut : ProbeResult::Answered;
    script.delayMs = 50;
    return script;
  };
  ::SetWindowTextW(Item(IDC_EDIT_DIAG_TARGET), L"::1");
  ASSERT_TRUE(RunToEnd(10000)) << "the run ends: " << Text(IDC_STATIC_DIAG_CONCLUSION);
  std::vector<std::string> sent = m_probes->Sent();
  std::sort(sent.begin(), sent.end());
  EXPECT_EQ(sent, (Strings{"connect ::1 80", "echo 2001:db8:1::53 32", "echo ::1 1452", "echo ::1 32"}))
      << "the target, given as an address, is not resolved; the router, confirmed by the neighbor cache, gets no echo";
  EXPECT_EQ(Rows(), (Strings{"a. Adapter and IPv6 | Passed", "b. Link-local address | Passed", "c. Router | Passed",
                             "d. Global address | Passed", "e. Name resolution | Passed", "f. Reachability | Problem",
                             "g. Path MTU | Passed", "h. Preference and tunnels | Warning"}));
  EXPECT_EQ(Text(IDC_STATIC_DIAG_CONCLUSION), "IPv6 is broken: the router answers but the target cannot be reached.");
  EXPECT_EQ(CListView(Item(IDC_LIST_DIAG_CHECKS)).GetItemText(2, 2),
            "::/0 via fe80::1 (router advertisement, metric 256); the neighbor cache holds it as Reachable.");
  // The first problem is highlighted, with its evidence and advice.
  EXPECT_EQ(Text(IDC_EDIT_DIAG_DETAILS).rfind("f. Reachability: Problem. No answer from [::1]:80 within 2 s.", 0), 0u)
      << Text(IDC_EDIT_DIAG_DETAILS);
  EXPECT_NE(Text(IDC_EDIT_DIAG_DETAILS).find(".\r\nWhat to do: IPv6 packets are lost on the way"),
            std::string::npos);
  EXPECT_FALSE(::IsWindowVisible(Item(IDC_BUTTON_DIAG_FIX))) << "no page of Vantoric fixes a lost connection";
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_BUTTON_DIAG_COPY)));
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "diagnose_page.png"));

  // The warning about the preference opens the System page, which does it.
  Select(7);
  ASSERT_TRUE(::IsWindowVisible(Item(IDC_BUTTON_DIAG_FIX)));
  EXPECT_EQ(Text(IDC_BUTTON_DIAG_FIX), "&Open the System page");
  test::ClickButton(m_hPage, IDC_BUTTON_DIAG_FIX);
  HWND system = Page(IDC_LIST_PREFIX_POLICIES);
  ASSERT_NE(system, nullptr);
  EXPECT_TRUE(::IsWindowVisible(system)) << "the System page is shown";
  EXPECT_FALSE(::IsWindowVisible(m_hPage));
  EXPECT_TRUE(::IsChild(system, ::GetFocus())) << "and has the focus";
  EXPECT_EQ(::SendMessageW(Tab(), TCM_GETCURSEL, 0, 0), 2) << "its tab is selected";
  ASSERT_TRUE(test::ClickTabTitled(Tab(), "Diagnose"));
  EXPECT_EQ(Rows().size(), static_cast<size_t>(kRows)) << "the report stays";

  // Copy report: the text for a ticket, with the /list reading.
  test::ClearClipboard();
  test::ClickButton(m_hPage, IDC_BUTTON_DIAG_COPY);
  const std::string copied = test::ClipboardText();
  EXPECT_EQ(copied.rfind("Vantoric IPv6 diagnosis\r\nAdapter: Ethernet 2\r\nTarget: ::1\r\n", 0), 0u) << copied;
  EXPECT_NE(copied.find("Conclusion: IPv6 is broken: the router answers but the target cannot be reached.\r\n"),
            std::string::npos);
  EXPECT_NE(copied.find("\"friendly_name\": \"Ethernet 2\""), std::string::npos) << copied;

  // Save report as JSON, through the system's save dialog.
  const std::wstring file = test::TempFolder() + L"vantoric-diagnosis-test.json";
  ::DeleteFileW(file.c_str());
  m_catcher.ScriptNextDialog({[&](HWND save) {
    HWND name = ::GetDlgItem(save, cmb13);
    if (name == nullptr) name = ::GetDlgItem(save, edt1);
    ASSERT_NE(name, nullptr);
    ::SetWindowTextW(name, file.c_str());
    ::PostMessageW(save, WM_COMMAND, IDOK, 0);
  }});
  test::ClickButton(m_hPage, IDC_BUTTON_DIAG_SAVE);
  std::ifstream in(file.c_str(), std::ios::binary);
  const nlohmann::json saved = nlohmann::json::parse(
      std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), nullptr, false);
  in.close();
  ::DeleteFileW(file.c_str());
  ASSERT_TRUE(saved.is_object()) << "the saved file is JSON";
  EXPECT_EQ(saved["conclusion"], "IPv6 is broken: the router answers but the target cannot be reached.");
  EXPECT_EQ(saved["exit_code"], 1);
  EXPECT_EQ(saved["checks"][5]["verdict"], "problem");
  EXPECT_EQ(saved["checks"][7]["page"], "System");
  EXPECT_EQ(saved["listing"]["adapters"][0]["friendly_name"], "Ethernet 2");

  // A run whose probes do not answer: Run turns into Cancel, which ends it
  // at once.
  m_probes->m_script = [](const std::string&) { return test::CStandInProbes::CScript{{}, 60000}; };
  test::ClickButton(m_hPage, IDC_BUTTON_DIAG_RUN);
  EXPECT_EQ(Text(IDC_BUTTON_DIAG_RUN), "&Cancel");
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_COMBO_DIAG_INTERFACE))) << "the adapter stays while the run goes on";
  ASSERT_TRUE(test::PumpUntil([&] { return Text(IDC_STATIC_DIAG_CONCLUSION).rfind("Checking: 0 of 4", 0) == 0; }, 5000))
      << "the progress shows: " << Text(IDC_STATIC_DIAG_CONCLUSION);
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "diagnose_page_running.png"));
  const Clock::time_point cancelled = Clock::now();
  ASSERT_TRUE(RunToEnd(5000));
  EXPECT_LT(Clock::now() - cancelled, std::chrono::seconds(2)) << "Cancel does not wait for the probes' bound";
  EXPECT_EQ(Text(IDC_STATIC_DIAG_CONCLUSION), "The diagnosis was cancelled.");
  EXPECT_EQ(Rows()[5], "f. Reachability | Not checked");
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_COMBO_DIAG_INTERFACE)));
  EXPECT_EQ(m_catcher.Boxes().size(), 0u) << "no message box on the way";
}

test::CProgramRun RunVantoric(const std::wstring& args) {
  return test::RunProgram(test::BuildFile(VANTORIC_EXE_RELATIVE), args);
}

TEST(DiagnoseCommand, TheLoopbackAdapterAndTheLoopbackAddress) {
  const test::CProgramRun json = RunVantoric(L"/diagnose lo /target ::1 /json");
  const nlohmann::json report = nlohmann::json::parse(json.out, nullptr, false);
  ASSERT_TRUE(report.is_object()) << json.out << json.err;
  EXPECT_EQ(report["adapter"], "lo");
  EXPECT_EQ(report["target"], "::1");
  EXPECT_EQ(report["target_address"], "::1") << "an address is taken as it is";
  EXPECT_EQ(report["conclusion"], "IPv6 works on the loopback adapter (this machine only).");
  EXPECT_EQ(json.exitCode, 0u);
  EXPECT_EQ(report["exit_code"], 0);
  ASSERT_EQ(report["checks"].size(), static_cast<size_t>(kRows));
  EXPECT_EQ(report["checks"][0]["evidence"], "lo is up and IPv6 is bound to it.");
  EXPECT_EQ(report["checks"][5]["verdict"], "passed") << report["checks"][5]["evidence"];
  EXPECT_EQ(report["listing"]["adapters"][0]["friendly_name"], "lo");

  const test::CProgramRun text = RunVantoric(L"/diagnose LO /target ::1");
  EXPECT_EQ(text.out.rfind("Vantoric IPv6 diagnosis\r\nAdapter: lo\r\nTarget: ::1\r\n", 0), 0u) << text.out;
  EXPECT_EQ(text.exitCode, 0u);

  const struct {
    const wchar_t* args;
    const char* err;
  } wrong[] = {
      {L"/diagnose no-such-adapter /target ::1", "vantoric: no adapter is named no-such-adapter. The adapters: "},
      {L"/diagnose lo /target", "vantoric: No host after /target.\n"},
      {L"/diagnose lo /target 192.0.2.1", "vantoric: The target is neither a host name nor an IPv6 address"},
  };
  for (const auto& w : wrong) {
    const test::CProgramRun run = RunVantoric(w.args);
    EXPECT_EQ(run.exitCode, 2u) << Narrow(w.args);
    EXPECT_EQ(run.err.rfind(w.err, 0), 0u) << Narrow(w.args) << ": " << run.err;
    EXPECT_EQ(run.out, "") << Narrow(w.args);
  }
}

}  // namespace
}  // namespace vantoric
