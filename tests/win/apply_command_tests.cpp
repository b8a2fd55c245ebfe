// `vantoric /apply`: the real program started as a script starts it, with
// the recording netsh as the system's. Its own /list output plans nothing;
// a file that adds to the first adapter is previewed (3), run (0), stopped
// at a failing command after others succeeded (1), also with /json; a
// warning stops it unless /force; refusals, bad files and command lines end
// with 2. And the command run in this process on synthetic adapters, whose
// new address is tentative for a while: the removal waits for it, and a
// duplicate stops the run before anything is removed.
#include <windows.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <string>
#include <vector>

#include "app/apply_command_win32.h"
#include "framework/utf8.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_standin_support.h"
#include "tests/win/support/program_run.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric {
namespace {

using Json = nlohmann::json;
using test::CNetshStandin;
using test::CProgramRun;
// The program is started with commands that change the machine.
using ApplyCommand = test::CNetshStandinTest;

CProgramRun RunVantoric(const std::wstring& args) { return test::RunProgram(test::BuildFile(VANTORIC_EXE_RELATIVE), args); }

std::wstring TempFile(const wchar_t* name) {
  return test::TempFolder() + L"vantoric-apply-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + name;
}

void WriteFile(const std::wstring& path, const std::string& text) {
  std::ofstream(path.c_str(), std::ios::binary) << text;
}

TEST_F(ApplyCommand, PreviewRunStopWarnAndRefuse) {
  CNetshStandin netsh("apply");
  const std::wstring listed = TempFile(L"listed.json");
  ASSERT_EQ(RunVantoric(L"/list \"" + listed + L"\"").exitCode, 0u);
  std::ifstream in(listed.c_str(), std::ios::binary);
  Json listing = Json::parse(in, nullptr, false);
  in.close();
  ASSERT_TRUE(listing.is_object() && !listing["adapters"].empty()) << "Wine lists at least its loopback adapter";

  // The machine's own listing: nothing to do, with or without /whatif.
  for (const wchar_t* args : {L"", L" /whatif"}) {
    const CProgramRun same = RunVantoric(L"/apply \"" + listed + L"\"" + args);
    EXPECT_EQ(same.exitCode, 0u) << same.err;
    EXPECT_EQ(same.out, "Nothing to do: the adapters match the file.\n");
  }
  EXPECT_FALSE(netsh.LogExists()) << "netsh never ran";

  // The first adapter as listed (its system entries stay in the file), with
  // one address, one DNS server and one route more.
  Json adapter = listing["adapters"][0];
  const std::string name = adapter["friendly_name"];
  adapter["addresses"].push_back({{"address", "2001:db8:a::5"}});
  adapter["addresses"].push_back({{"address", "2001:db8:a::6"}});
  adapter["dns_servers"].push_back("2001:db8:a::53");
  std::vector<std::string> lines;
  for (const char* added : {"2001:db8:a::5", "2001:db8:a::6"})
    lines.push_back("netsh interface ipv6 add address \"" + name + "\" " + added +
                    " unicast infinite infinite persistent");
  if (adapter["routes"].is_array()) {
    adapter["routes"].push_back({{"destination", "2001:db8:a::/48"}});
    lines.push_back("netsh interface ipv6 add route 2001:db8:a::/48 \"" + name +
                    "\" validlifetime=infinite preferredlifetime=infinite store=persistent");
  }
  lines.push_back("netsh interface ipv6 add dns \"" + name + "\" 2001:db8:a::53 " +
                  std::to_string(adapter["dns_servers"].size()));
  const std::wstring wanted = TempFile(L"wanted.json");
  WriteFile(wanted, Json{{"adapters", {adapter}}}.dump(2));
  const std::wstring file = L"\"" + wanted + L"\"";

  const CProgramRun preview = RunVantoric(L"/apply " + file + L" /whatif");
  EXPECT_EQ(preview.exitCode, 3u) << preview.err;
  std::string expected;
  for (const std::string& line : lines) expected += line + "\n";
  EXPECT_EQ(preview.out, expected);
  const CProgramRun powershell = RunVantoric(L"/apply " + file + L" /whatif /powershell");
  EXPECT_EQ(powershell.out.rfind("New-NetIPAddress -InterfaceAlias '" + name + "' -IPAddress 2001:db8:a::5", 0), 0u)
      << powershell.out;
  const Json plan = Json::parse(RunVantoric(L"/apply " + file + L" /whatif /json").out, nullptr, false);
  ASSERT_TRUE(plan.is_object());
  ASSERT_EQ(plan["changes"].size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(plan["changes"][i]["netsh"], lines[i]);
  EXPECT_FALSE(netsh.LogExists()) << "a preview changes nothing";

  const CProgramRun applied = RunVantoric(L"/apply " + file);
  EXPECT_EQ(applied.exitCode, 0u) << applied.err;
  std::string done, log;
  for (const std::string& line : lines) {
    done += line + "\n  Succeeded\n    Ok.\n";
    log += CNetshStandin::RunLog(line.substr(6));
  }
  EXPECT_EQ(applied.out, done + "Done: " + std::to_string(lines.size()) + " commands succeeded.\n");
  EXPECT_EQ(netsh.ReadLog(), log);

  // The second command fails: the first stays made, the rest are not run.
  netsh.ClearLog();
  netsh.SetOnlyFor(lines[1].substr(6));
  netsh.SetExitCode(1);
  netsh.SetAnswer("The object already exists.\\r\\n");
  const CProgramRun failed = RunVantoric(L"/apply " + file);
  EXPECT_EQ(failed.exitCode, 1u) << failed.err;
  std::string stopped = lines[0] + "\n  Succeeded\n    Ok.\n" + lines[1] +
                        "\n  Failed (exit code 1)\n    The object already exists.\n";
  for (size_t i = 2; i < lines.size(); ++i) stopped += "Not run: " + lines[i] + "\n";
  EXPECT_EQ(failed.out, stopped + "Stopped: command 2 of " + std::to_string(lines.size()) + " failed; " +
                            std::to_string(lines.size() - 2) + " not run.\n");
  EXPECT_EQ(netsh.ReadLog(), CNetshStandin::RunLog(lines[0].substr(6)) + CNetshStandin::RunLog(lines[1].substr(6), 1))
      << "the first failure stops the rest";
  netsh.ClearLog();
  const CProgramRun failedJson = RunVantoric(L"/apply " + file + L" /json");
  EXPECT_EQ(failedJson.exitCode, 1u) << failedJson.err;
  const Json outcome = Json::parse(failedJson.out, nullptr, false);
  ASSERT_TRUE(outcome.is_object()) << failedJson.out;
  ASSERT_EQ(outcome["changes"].size(), lines.size());
  EXPECT_EQ(outcome["changes"][0]["outcome"], "Succeeded");
  EXPECT_EQ(outcome["changes"][0]["answer"], "Ok.");
  EXPECT_EQ(outcome["changes"][1]["outcome"], "Failed (exit code 1)");
  EXPECT_EQ(outcome["changes"][1]["answer"], "The object already exists.");
  for (size_t i = 2; i < lines.size(); ++i) {
    EXPECT_EQ(outcome["changes"][i]["netsh"], lines[i]);
    EXPECT_EQ(outcome["changes"][i]["outcome"], "Not run") << i;
    EXPECT_EQ(outcome["changes"][i]["answer"], nullptr) << i;
  }
  EXPECT_EQ(outcome["stopped"], nullptr);
  EXPECT_EQ(netsh.ReadLog(), CNetshStandin::RunLog(lines[0].substr(6)) + CNetshStandin::RunLog(lines[1].substr(6), 1));
  netsh.SetOnlyFor("");

  // A warning stops the run unless /force is given.
  netsh.ClearLog();
  netsh.SetExitCode(0);
  netsh.SetAnswer("");
  Json warned = listing["adapters"][0];
  warned["addresses"].push_back({{"address", "fec0::5"}});
  const std::wstring siteLocal = TempFile(L"site-local.json");
  WriteFile(siteLocal, Json{{"adapters", {warned}}}.dump());
  const CProgramRun held = RunVantoric(L"/apply \"" + siteLocal + L"\"");
  EXPECT_EQ(held.exitCode, 1u) << held.err;
  EXPECT_NE(held.err.find("warning: " + name + ": fec0::5 is a site-local address"), std::string::npos) << held.err;
  EXPECT_NE(held.err.find("give /force to make the changes despite the warnings"), std::string::npos) << held.err;
  EXPECT_EQ(held.out, "");
  EXPECT_FALSE(netsh.LogExists()) << "a warning ends before anything runs";
  const CProgramRun forced = RunVantoric(L"/apply \"" + siteLocal + L"\" /force");
  EXPECT_EQ(forced.exitCode, 0u) << forced.err;
  const std::string added = "interface ipv6 add address \"" + name + "\" fec0::5 unicast infinite infinite persistent";
  EXPECT_EQ(forced.out, "netsh " + added + "\n  Succeeded\n    Ok.\nDone: 1 command succeeded.\n");
  EXPECT_EQ(netsh.ReadLog(), CNetshStandin::RunLog(added));

  Json refused = listing["adapters"][0];
  refused["addresses"].push_back({{"address", "ff02::1"}});
  const std::wstring multicast = TempFile(L"multicast.json");
  WriteFile(multicast, Json{{"adapters", {refused}}}.dump());
  const std::wstring broken = TempFile(L"broken.json");
  WriteFile(broken, "{\"adapters\": [\n  {\"friendly_name\": \"x\",}\n]}");
  const std::wstring unknown = TempFile(L"unknown.json");
  WriteFile(unknown, R"({"adapters": [{"friendly_name": "no such adapter", "dns_servers": []}]})");
  const struct {
    std::wstring args;
    std::string err;
    const char* why;
  } bad[] = {
      {L"/apply \"" + broken + L"\"", "line 2, column 25: syntax error", "a JSON error"},
      {L"/apply \"" + unknown + L"\"", "adapters[0]: no adapter has friendly_name \"no such adapter\".",
       "an unknown adapter"},
      {L"/apply Z:\\no\\such\\file.json", "could not be read", "no file"},
      {L"/apply \"" + multicast + L"\" /force", "refused: " + name + ": ff02::1 is a multicast address",
       "a refusal, which /force does not pass"},
      {L"/apply", "No file name after /apply.", "no file name"},
  };
  netsh.ClearLog();
  for (const auto& c : bad) {
    const CProgramRun run = RunVantoric(c.args);
    EXPECT_EQ(run.exitCode, 2u) << c.why;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << c.why << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.why;
  }
  EXPECT_FALSE(netsh.LogExists());
  for (const std::wstring& path : {listed, wanted, siteLocal, multicast, broken, unknown}) ::DeleteFileW(path.c_str());
}

// The command as this process runs it, on the synthetic adapter "Lab" with
// the manual address 2001:db8:d::5, asked to put 2001:db8:d::7 in its place.
// Once netsh has added the new address, the adapters show it tentative for
// two queries, then in `settled` state.
struct CDadRun {
  int exitCode = 0;
  std::string out, err;
  int queriesAfterAdd = 0;
};

CDadRun RunReplacingAddress(CNetshStandin& netsh, const std::wstring& file, IP_DAD_STATE settled) {
  using test::Address;
  const auto lab = [](std::vector<test::SyntheticAddress> more) {
    std::vector<test::SyntheticAddress> addresses = {
        Address("2001:db8:d::5", IpPrefixOriginManual, IpSuffixOriginManual)};
    addresses.insert(addresses.end(), more.begin(), more.end());
    return test::Adapter("Lab", IF_TYPE_ETHERNET_CSMACD, {0x00, 0x15, 0x5D, 0x01, 0x02, 0x03}, addresses);
  };
  test::CSyntheticAdapterSource source({lab({})});
  CDadRun run;
  source.beforeQuery = [&](int) {
    if (!netsh.LogExists()) return;
    const IP_DAD_STATE state = ++run.queriesAfterAdd <= 2 ? IpDadStateTentative : settled;
    source.SetAdapters({lab({Address("2001:db8:d::7", IpPrefixOriginManual, IpSuffixOriginManual, 0xFFFFFFFF,
                                     0xFFFFFFFF, state)})});
  };
  netsh.ClearLog();
  CApplyOutput output;
  output.m_out = [&](const std::string& text) { run.out += text; };
  output.m_err = [&](const std::string& text) { run.err += text; };
  run.exitCode = RunApplyCommand(ParseProgramCommand({"/apply", Narrow(file)}), output);
  return run;
}

TEST_F(ApplyCommand, TheRemovalWaitsForTheNewAddressAndADuplicateRemovesNothing) {
  CNetshStandin netsh("apply-dad");
  const std::wstring file = TempFile(L"replace.json");
  WriteFile(file, R"({"adapters": [{"friendly_name": "Lab", "addresses": [{"address": "2001:db8:d::7"}]}]})");
  const std::string add = "interface ipv6 add address \"Lab\" 2001:db8:d::7 unicast infinite infinite persistent";
  const std::string remove = "interface ipv6 delete address \"Lab\" 2001:db8:d::5";

  const CDadRun settled = RunReplacingAddress(netsh, file, IpDadStatePreferred);
  EXPECT_EQ(settled.exitCode, 0) << settled.err;
  EXPECT_EQ(settled.out, "netsh " + add + "\n  Succeeded\n    Ok.\nnetsh " + remove +
                             "\n  Succeeded\n    Ok.\nDone: 2 commands succeeded.\n");
  EXPECT_EQ(netsh.ReadLog(), CNetshStandin::RunLog(add) + CNetshStandin::RunLog(remove));
  EXPECT_GE(settled.queriesAfterAdd, 3) << "the addresses are read until the new one is no longer tentative";

  const CDadRun duplicate = RunReplacingAddress(netsh, file, IpDadStateDuplicate);
  EXPECT_EQ(duplicate.exitCode, 1) << duplicate.err;
  EXPECT_EQ(duplicate.out, "netsh " + add + "\n  Succeeded\n    Ok.\nNot run: netsh " + remove +
                               "\nStopped after command 1 of 2: 2001:db8:d::7 on Lab is a duplicate: another node on "
                               "the link holds that address. Nothing was removed; 1 not run.\n");
  EXPECT_EQ(netsh.ReadLog(), CNetshStandin::RunLog(add)) << "the old address stays";
  EXPECT_GE(duplicate.queriesAfterAdd, 3);
  ::DeleteFileW(file.c_str());
}

}  // namespace
}  // namespace vantoric
