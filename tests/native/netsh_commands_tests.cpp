// The netsh catalogue, the command-line layouts, the safety checks of a line
// and the texts that tell the user what a run came to.
#include "core/netsh_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
      {"delete address", FormatDeleteAddressCommand(name, "fe80::1%4"),
       "interface ipv6 delete address \"Local Area Connection 2\" fe80::1%4"},
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
  CNetshResult cancelled = Make(NetshOutcome::ElevationRefused);
  cancelled.m_nSystemError = 1223;
  CNetshResult slow = Make(NetshOutcome::TimedOut);
  slow.m_nTimeoutMs = 60000;
  CNetshResult quick = Make(NetshOutcome::TimedOut);
  quick.m_nTimeoutMs = 500;
  const struct {
    const char* what;
    CNetshResult result;
    const char* expected;
  } cases[] = {
      {"success", Make(NetshOutcome::Succeeded), "netsh finished successfully."},
      {"netsh failed", failed,
       "netsh reported a failure (exit code 1). The change was not confirmed; refresh to see the current "
       "configuration."},
      {"launch failed", launch, "netsh could not be started (system error 2).\nNothing was changed."},
      {"elevation refused", cancelled,
       "The command was cancelled: administrator rights were not granted.\nNothing was changed."},
      {"timed out", slow,
       "netsh did not finish within 60 seconds and was ended. The change may or may not have been made: press "
       "Refresh to see the current configuration."},
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
                                   NetshRefusal::OtherContext};
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
