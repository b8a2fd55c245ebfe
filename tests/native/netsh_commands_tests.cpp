// The netsh catalogue, the command-line layouts, the safety checks of a line
// and the texts that tell the user what a run came to.
#include "core/netsh_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/interface_settings.h"
#include "core/neighbors.h"
#include "core/route_records.h"
#include "core/system_settings.h"
#include "tests/native/netsh_test_printers.h"

namespace vantoric {
namespace {

TEST(NetshVerb, CatalogueHasExactlyTheSixEntries) {
  const struct {
    int index;
    const char* text;
  } cases[] = {
      {NETSH_PROGRAM, "netsh"},
      {NETSH_ADD_ADDRESS, "interface ipv6 add address"},
      {NETSH_SET_ADDRESS, "interface ipv6 set address"},
      {NETSH_DELETE_ADDRESS, "interface ipv6 delete address"},
      {NETSH_ADD_DNS, "interface ipv6 add dns"},
      {NETSH_DELETE_DNS, "interface ipv6 delete dns"},
      {4, ""},
      {5, ""},
      {8, ""},
      {-1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetNetshVerb(c.index), c.text) << "index " << c.index;
  EXPECT_EQ(NETSH_ADD_DNS, 6);
  EXPECT_EQ(NETSH_DELETE_DNS, 7);
}

TEST(NetshFormat, EveryLayoutKeepsANameWithBlanksQuotedAsOneArgument) {
  const std::string name = "Local Area Connection 2";
  const struct {
    const char* command;
    std::string line;
    const char* expected;
  } cases[] = {
      {"add address",
       FormatAddAddressCommand(name, "2001:db8::1", "unicast", "1d2h3m4s", "infinite", "persistent"),
       "interface ipv6 add address \"Local Area Connection 2\" 2001:db8::1 unicast 1d2h3m4s infinite persistent"},
      {"set address (trailing blank kept)",
       FormatSetAddressCommand(name, "2001:db8::1", "anycast", "infinite", "10m"),
       "interface ipv6 set address \"Local Area Connection 2\" 2001:db8::1 anycast infinite 10m "},
      {"delete address (a link-local address's interface number left out: the name says it)",
       FormatDeleteAddressCommand(name, "fe80::1%4"),
       "interface ipv6 delete address \"Local Area Connection 2\" fe80::1"},
      {"add dns", FormatAddDnsCommand(name, "2001:4860:4860::8888", "3"),
       "interface ipv6 add dns \"Local Area Connection 2\" 2001:4860:4860::8888 3"},
      {"delete dns", FormatDeleteDnsCommand(name, "2001:4860:4860::8888"),
       "interface ipv6 delete dns \"Local Area Connection 2\" 2001:4860:4860::8888"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.line, c.expected) << c.command;
    EXPECT_EQ(CheckNetshLine(c.line), NetshRefusal::None) << c.command;
  }
}

// A delete-address line whose interface name makes it exactly `chars` long,
// padded with `pad` (one character, maybe several bytes).
std::string LineOfLength(size_t chars, const std::string& pad) {
  const std::string bare = FormatDeleteAddressCommand("", "2001:db8::1");
  std::string name;
  for (size_t i = bare.size(); i < chars; ++i) name += pad;
  return FormatDeleteAddressCommand(name, "2001:db8::1");
}

TEST(NetshCheck, LengthIsCountedInCharactersUpTo255) {
  const struct {
    const char* what;
    std::string line;
    NetshRefusal expected;
  } cases[] = {
      {"255 ASCII", LineOfLength(255, "a"), NetshRefusal::None},
      {"256 ASCII", LineOfLength(256, "a"), NetshRefusal::LineTooLong},
      {"255 with two-byte letters", LineOfLength(255, "\xD0\x96"), NetshRefusal::None},
      {"256 with two-byte letters", LineOfLength(256, "\xD0\x96"), NetshRefusal::LineTooLong},
      {"255 with four-byte signs", LineOfLength(255, "\xF0\x9F\x96\xA7"), NetshRefusal::None},
      {"400 ASCII", LineOfLength(400, "a"), NetshRefusal::LineTooLong},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckNetshLine(c.line), c.expected) << c.what;
}

TEST(NetshCheck, RefusesTextThatCouldBreakTheQuotingOrAddACommand) {
  const struct {
    const char* what;
    std::string name;
    NetshRefusal expected;
  } cases[] = {
      {"plain", "Ethernet 2", NetshRefusal::None},
      {"accented", "R\xC3\xA9seau local", NetshRefusal::None},
      {"Han", "\xE6\x9C\xAC\xE5\x9C\xB0\xE8\xBF\x9E\xE6\x8E\xA5 2", NetshRefusal::None},
      {"percent and apostrophe", "LAN's 100%", NetshRefusal::None},
      {"one quote", "Eth\"ernet", NetshRefusal::QuoteInValue},
      {"quoted inside", "a\" b \"c", NetshRefusal::QuoteInValue},
      {"ends in a backslash (escapes the closing quote)", "Ethernet\\", NetshRefusal::QuoteInValue},
      {"ends in two backslashes (halved before the quote)", "Ethernet\\\\", NetshRefusal::QuoteInValue},
      {"backslash inside", "Ether\\net", NetshRefusal::None},
      {"LF", "Ethernet\ninterface ipv6 reset", NetshRefusal::ControlCharacter},
      {"CR", "Ethernet\rinterface ipv6 reset", NetshRefusal::ControlCharacter},
      {"CR LF", "Ethernet\r\n", NetshRefusal::ControlCharacter},
      {"tab", "Ether\tnet", NetshRefusal::ControlCharacter},
      {"NUL", std::string("Ether\0net", 9), NetshRefusal::ControlCharacter},
      {"DEL", "Ether\x7fnet", NetshRefusal::ControlCharacter},
      {"next line (C1)", "Ether\xC2\x85net", NetshRefusal::ControlCharacter},
      {"quote and line break", "a\"\nb", NetshRefusal::ControlCharacter},
      {"lone continuation byte", "Ether\x80net", NetshRefusal::InvalidText},
      {"overlong slash", "Ether\xC0\xAFnet", NetshRefusal::InvalidText},
      {"surrogate", "Ether\xED\xA0\x80net", NetshRefusal::InvalidText},
      {"last surrogate", "Ether\xED\xBF\xBFnet", NetshRefusal::InvalidText},
      {"first code point after the surrogates", "Ether\xEE\x80\x80net", NetshRefusal::None},
      {"shortest three-byte form (U+0800)", "Ether\xE0\xA0\x80net", NetshRefusal::None},
      {"shortest four-byte form (U+10000)", "Ether\xF0\x90\x80\x80net", NetshRefusal::None},
      {"cut sequence at end", "Ether\xE2\x82", NetshRefusal::InvalidText},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", NetshRefusal::InvalidText},
      {"U+10FFFF, the last code point", "\xF4\x8F\xBF\xBF", NetshRefusal::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckNetshLine(FormatDeleteDnsCommand(c.name, "::1")), c.expected) << c.what;
  }
  // A quote or line break in a value other than the name is refused too.
  EXPECT_EQ(CheckNetshLine(FormatAddDnsCommand("lo", "::1", "1\"")), NetshRefusal::QuoteInValue);
  EXPECT_EQ(CheckNetshLine(FormatAddDnsCommand("lo", "::1", "1\r\nset")), NetshRefusal::ControlCharacter);
  EXPECT_EQ(CheckNetshLine("interface ipv6 delete dns \"R\xC3\xA9seau\" \xC3\xA9"), NetshRefusal::None)
      << "a whole character that ends the line";
  // Unsafe and too long: the unsafe character is named.
  EXPECT_EQ(CheckNetshLine(LineOfLength(300, "\"")), NetshRefusal::QuoteInValue);
}

TEST(NetshCheck, OnlyTheContextsTheProgramUsesAreHandedOver) {
  const struct {
    const char* line;
    NetshRefusal expected;
  } cases[] = {
      {"interface ipv6 set privacy state=disabled store=active", NetshRefusal::None},
      {"interface teredo set state type=disabled", NetshRefusal::None},
      {"interface isatap set state state=default", NetshRefusal::None},
      {"interface 6to4 set state state=enabled", NetshRefusal::None},
      {"INTERFACE Teredo SET STATE TYPE=DEFAULT", NetshRefusal::None},
      {"interface ipv4 set address \"Ethernet\" dhcp", NetshRefusal::OtherContext},
      {"interface httpstunnel add interface client https://a", NetshRefusal::OtherContext},
      {"interface portproxy reset", NetshRefusal::OtherContext},
      {"interface ipv6x show", NetshRefusal::OtherContext},
      {"interface 6to4", NetshRefusal::OtherContext},
      {"advfirewall reset", NetshRefusal::OtherContext},
      {"-f C:\\script.txt", NetshRefusal::OtherContext},
      {" interface ipv6 show address", NetshRefusal::OtherContext},
      {"", NetshRefusal::OtherContext},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckNetshLine(c.line), c.expected) << c.line;
}

TEST(NetshAddressValue, OnlyALinkLocalAddressLosesItsInterfaceNumber) {
  const struct {
    const char* what;
    const char* address;
    const char* expected;
  } cases[] = {
      {"link-local with its interface number", "fe80::1%4", "fe80::1"},
      {"upper case, long zone", "FE80::1%12", "FE80::1"},
      {"no zone", "2001:db8::5", "2001:db8::5"},
      {"a global address keeps a zone, for the check to refuse", "2001:db8::54%1&calc.exe",
       "2001:db8::54%1&calc.exe"},
      {"a zone that is no number is kept", "fe80::1%x name=Wi-Fi", "fe80::1%x name=Wi-Fi"},
      {"an empty zone is kept", "fe80::1%", "fe80::1%"},
      {"text that is no address is kept", "calc%4", "calc%4"},
  };
  for (const auto& c : cases) EXPECT_EQ(NetshAddressValue(c.address), c.expected) << c.what;
}

// A netsh line besides the interface name holds only the values the
// command takes, each without a blank and without a character that cmd
// acts on when the line is pasted into a prompt.
TEST(NetshCheck, ValuesAreSingleArgumentsThatNoPromptActsOn) {
  const struct {
    const char* what;
    std::string line;
    NetshRefusal expected;
  } cases[] = {
      {"a DNS server with & after its zone, as an /apply file gave it",
       FormatAddDnsCommand("Ethernet", "2001:db8::54%1&calc.exe", "2"), NetshRefusal::ShellCharacter},
      {"a DNS server whose zone holds netsh arguments",
       FormatAddDnsCommand("Ethernet", "2001:db8::54%x name=Wi-Fi validate=no", "2"), NetshRefusal::ShellCharacter},
      {"a value with blanks adds netsh arguments", FormatAddDnsCommand("Ethernet", "2001:db8::54 validate=no", "2"),
       NetshRefusal::ExtraArgument},
      {"| outside the quotes", FormatDeleteDnsCommand("Ethernet", "::1|calc"), NetshRefusal::ShellCharacter},
      {"< outside the quotes", FormatDeleteDnsCommand("Ethernet", "::1<x"), NetshRefusal::ShellCharacter},
      {"> outside the quotes", FormatDeleteDnsCommand("Ethernet", "::1>x"), NetshRefusal::ShellCharacter},
      {"^ outside the quotes", FormatDeleteDnsCommand("Ethernet", "::1^"), NetshRefusal::ShellCharacter},
      {"% outside the quotes", FormatDeleteDnsCommand("Ethernet", "::1%PATH%"), NetshRefusal::ShellCharacter},
      {"every one of them inside the name", FormatDeleteDnsCommand("A&B|C<D>E^F%G", "::1"), NetshRefusal::None},
      {"two blanks in a row", "interface ipv6 delete dns \"Ethernet\"  ::1", NetshRefusal::ExtraArgument},
      {"two blanks before the name", "interface ipv6 delete dns  \"Ethernet\" ::1", NetshRefusal::ExtraArgument},
      {"a blank at the start", " interface ipv6 delete dns \"Ethernet\" ::1", NetshRefusal::OtherContext},
      {"a blank at the end of add dns", FormatAddDnsCommand("Ethernet", "::1", ""), NetshRefusal::ExtraArgument},
      {"the catalogue's blank at the end of set address",
       FormatSetAddressCommand("Ethernet", "2001:db8::1", "unicast", "infinite", "infinite"), NetshRefusal::None},
      {"set address without that blank",
       "interface ipv6 set address \"Ethernet\" 2001:db8::1 unicast infinite infinite", NetshRefusal::None},
      {"a no-break space (U+00A0) between values", "interface ipv6 delete dns \"Ethernet\" ::1\xC2\xA0x",
       NetshRefusal::ExtraArgument},
      {"an ideographic space (U+3000) between values", "interface ipv6 delete dns \"Ethernet\" ::1\xE3\x80\x80x",
       NetshRefusal::ExtraArgument},
      {"a no-break space inside the name", FormatDeleteDnsCommand("Local\xC2\xA0" "Area", "::1"), NetshRefusal::None},
      {"one value too many", "interface ipv6 delete dns \"Ethernet\" ::1 2", NetshRefusal::ExtraArgument},
      {"one value too few", "interface ipv6 add dns \"Ethernet\" ::1", NetshRefusal::ExtraArgument},
      {"the name not quoted", "interface ipv6 delete dns Ethernet ::1", NetshRefusal::ExtraArgument},
      {"the name glued to a value", "interface ipv6 delete dns \"Ethernet\"::1", NetshRefusal::ExtraArgument},
      {"a route's prefix after the name", "interface ipv6 delete route \"Ethernet\" ::/0", NetshRefusal::ExtraArgument},
      {"quotes on a command that names no interface", "interface teredo set state \"type=disabled\"",
       NetshRefusal::QuoteInValue},
      {"a tunnel state with a second value", "interface teredo set state type=disabled x", NetshRefusal::ExtraArgument},
      {"a command of the context that the program does not give", "interface ipv6 show address",
       NetshRefusal::OtherContext},
      {"a verb that only begins like one", "interface ipv6 delete dnsx \"Ethernet\" ::1", NetshRefusal::OtherContext},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckNetshLine(c.line), c.expected) << c.what << ": " << c.line;
}

TEST(EscapeInvalidUtf8, BytesOutsideValidTextAreSpeltOut) {
  const struct {
    const char* what;
    std::string text;
    const char* expected;
  } cases[] = {
      {"valid text stays", "R\xC3\xA9seau \xE6\x9C\xAC", "R\xC3\xA9seau \xE6\x9C\xAC"},
      {"a lone byte", "bad\xFF", "bad\\xFF"},
      {"an overlong slash, byte by byte", "a\xC0\xAF", "a\\xC0\\xAF"},
      {"a surrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80"},
      {"a sequence cut at the end", "x\xE2\x82", "x\\xE2\\x82"},
      {"no replacement character in its place", "\x80", "\\x80"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeInvalidUtf8(c.text), c.expected) << c.what;
}

CInterfaceSettings EverySettingChanged() {
  CInterfaceSettings s;
  s.m_nMtu = 1400;
  s.m_bAutomaticMetric = false;
  s.m_nMetric = 10;
  s.m_bForwarding = true;
  s.m_bAdvertising = true;
  s.m_nRouterDiscovery = ROUTER_DISCOVERY_DHCP;
  s.m_bManaged = true;
  s.m_bOtherStateful = true;
  s.m_nDadTransmits = 3;
  s.m_nBaseReachableMs = 45000;
  return s;
}

CSystemChange System(SystemSetting setting, SettingState state, std::string store, PolicyVerb verb = PolicyVerb::Set) {
  CSystemChange change;
  change.m_setting = setting;
  change.m_state = state;
  change.m_strStore = std::move(store);
  change.m_verb = verb;
  change.m_policy = {"::ffff:0:0/96", 45, 4};
  return change;
}

// The check holds no line of the program's own back: each formatter, with
// the most values it writes.
TEST(NetshCheck, EveryLineTheProgramFormatsPasses) {
  const std::string name = "Local Area Connection 2";
  const std::string lines[] = {
      FormatAddAddressCommand(name, "2001:db8::1", "unicast", "1d2h3m4s", "infinite", "persistent"),
      FormatSetAddressCommand(name, "fe80::5%4", "anycast", "infinite", "10m"),
      FormatDeleteAddressCommand(name, "fe80::5%4"),
      FormatAddDnsCommand(name, "2001:4860:4860::8888", "3"),
      FormatDeleteDnsCommand(name, "2001:4860:4860::8888"),
      FormatAddRouteCommand(name, {"::/0", "FE80::1%12", "9999", "1d", "1h", "active"}),
      FormatAddRouteCommand(name, {"2001:db8::/48", "", "", "infinite", "infinite", "persistent"}),
      FormatSetRouteCommand(name, {"::/0", "fe80::1%12", "", "1d", "1h", "persistent"}),
      FormatDeleteRouteCommand("::/0", name, "FE80::1%12"),
      FormatDeleteRouteCommand("2001:db8::/48", name, ""),
      FormatSetInterfaceCommand(name, {CInterfaceSettings{}, EverySettingChanged(), true}),
      FormatDeleteNeighborsCommand(name, "fe80::1"),
      FormatDeleteNeighborsCommand(name, ""),
      FormatSystemCommand(System(SystemSetting::TemporaryAddresses, SettingState::Disabled, "active")),
      FormatSystemCommand(System(SystemSetting::RandomIdentifiers, SettingState::Enabled, "persistent")),
      FormatSystemCommand(System(SystemSetting::AddressPreference, SettingState::PreferIPv4, "active",
                                 PolicyVerb::Add)),
      FormatSystemCommand(System(SystemSetting::AddressPreference, SettingState::PreferIPv4, "persistent")),
      FormatSystemCommand(System(SystemSetting::AddressPreference, SettingState::PreferIPv6, "persistent",
                                 PolicyVerb::Delete)),
      FormatSystemCommand(System(SystemSetting::Teredo, SettingState::Disabled, "")),
      FormatSystemCommand(System(SystemSetting::Isatap, SettingState::Enabled, "")),
      FormatSystemCommand(System(SystemSetting::SixToFour, SettingState::Default, "")),
  };
  for (const std::string& line : lines) EXPECT_EQ(CheckNetshLine(line), NetshRefusal::None) << line;
}

CNetshResult Make(NetshOutcome outcome) {
  CNetshResult r;
  r.m_outcome = outcome;
  return r;
}

TEST(NetshDescribe, EachOutcomeSaysWhatHappened) {
  CNetshResult failed = Make(NetshOutcome::NetshFailed);
  failed.m_nExitCode = 1;
  CNetshResult launch = Make(NetshOutcome::LaunchFailed);
  launch.m_nSystemError = 2;
  CNetshResult worded = launch;
  worded.m_strSystemText = "The system cannot find the file specified.\r\n";
  CNetshResult cancelled = Make(NetshOutcome::ElevationRefused);
  cancelled.m_nSystemError = 1223;
  CNetshResult slow = Make(NetshOutcome::TimedOut);
  slow.m_nTimeoutMs = 60000;
  CNetshResult quick = Make(NetshOutcome::TimedOut);
  quick.m_nTimeoutMs = 500;
  CNetshResult stuck = slow;
  stuck.m_bEnded = false;
  const struct {
    const char* what;
    CNetshResult result;
    const char* expected;
  } cases[] = {
      {"success", Make(NetshOutcome::Succeeded), "netsh finished successfully."},
      {"netsh failed", failed,
       "netsh reported a failure (exit code 1). The change was not confirmed; refresh to see the current "
       "configuration."},
      {"launch failed, the system's words not known", launch,
       "netsh could not be started (system error 2).\nNothing was changed."},
      {"launch failed, with the system's words", worded,
       "netsh could not be started (system error 2): The system cannot find the file specified.\nNothing was "
       "changed."},
      {"elevation refused", cancelled,
       "The command was cancelled: administrator rights were not granted.\nNothing was changed."},
      {"timed out", slow,
       "netsh did not finish within 60 seconds and was ended. The change may or may not have been made: press "
       "Refresh to see the current configuration."},
      {"timed out and could not be ended", stuck,
       "netsh did not finish within 60 seconds and could not be ended: it may still change the configuration. No "
       "other netsh command runs until it has gone; press Refresh later to see the current configuration."},
      {"timed out, under a second", quick,
       "netsh did not finish within 1 second and was ended. The change may or may not have been made: press "
       "Refresh to see the current configuration."},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeNetshResult(c.result), c.expected) << c.what;
}

TEST(NetshDescribe, EveryRefusalHasItsOwnReasonAndChangesNothing) {
  const NetshRefusal refusals[] = {NetshRefusal::LineTooLong,      NetshRefusal::QuoteInValue,
                                   NetshRefusal::ControlCharacter, NetshRefusal::InvalidText,
                                   NetshRefusal::Busy,             NetshRefusal::NoSystemFolder,
                                   NetshRefusal::OtherContext,     NetshRefusal::ShellCharacter,
                                   NetshRefusal::ExtraArgument};
  std::vector<std::string> texts;
  for (NetshRefusal refusal : refusals) {
    CNetshResult r = Make(NetshOutcome::Refused);
    r.m_refusal = refusal;
    const std::string text = DescribeNetshResult(r);
    EXPECT_EQ(text.rfind("The command was not run: ", 0), 0u) << text;
    EXPECT_NE(text.find("\nNothing was changed."), std::string::npos) << text;
    for (const auto& earlier : texts) EXPECT_NE(text, earlier);
    texts.push_back(text);
  }
  CNetshResult tooLong = Make(NetshOutcome::Refused);
  tooLong.m_refusal = NetshRefusal::LineTooLong;
  EXPECT_NE(DescribeNetshResult(tooLong).find("255 characters"), std::string::npos);
}

TEST(NetshDescribe, NetshWordsAreShownTrimmedWithTheOutcome) {
  CNetshResult r = Make(NetshOutcome::NetshFailed);
  r.m_nExitCode = 1;
  r.m_strOutput = "\r\nnetsh>\xC3\x89l\xC3\xA9ment introuvable.\r\n\r\nnetsh>  \r\n";
  EXPECT_EQ(DescribeNetshResult(r),
            "netsh reported a failure (exit code 1). The change was not confirmed; refresh to see the current "
            "configuration.\n\nnetsh answered:\nnetsh>\xC3\x89l\xC3\xA9ment introuvable.\n\nnetsh>");

  r.m_strOutput = "a\rb\r\n";
  EXPECT_NE(DescribeNetshResult(r).find("netsh answered:\na\rb"), std::string::npos) << "a lone CR is netsh's own";

  r.m_strOutput = " \r\n\t";
  EXPECT_EQ(DescribeNetshResult(r),
            "netsh reported a failure (exit code 1). The change was not confirmed; refresh to see the current "
            "configuration.")
      << "blank output adds nothing";
}

TEST(NetshDescribe, RunawayWordsAreCutAtACharacterBoundary) {
  CNetshResult r = Make(NetshOutcome::Succeeded);
  // 1999 bytes, then two-byte letters: byte 2000 falls inside a letter.
  r.m_strOutput = std::string(1999, 'x');
  for (int i = 0; i < 100; ++i) r.m_strOutput += "\xD0\x96";
  const std::string text = DescribeNetshResult(r);
  const std::string expected = "netsh finished successfully.\n\nnetsh answered:\n" + std::string(1999, 'x') + "\n...";
  EXPECT_EQ(text, expected);

  // Bytes that never begin a character: the cut stops at the text's start.
  r.m_strOutput = std::string(2100, '\x80');
  EXPECT_EQ(DescribeNetshResult(r), "netsh finished successfully.\n\nnetsh answered:\n\n...");
}

}  // namespace
}  // namespace vantoric
