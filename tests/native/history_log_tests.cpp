// The history's log: one JSON object a line, read back into entries of
// earlier runs, damaged lines skipped, moved aside at its size limit.
#include "core/history_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantoric {
namespace {

CHistoryEntry Entry(std::string run, std::string name, NetshOutcome outcome) {
  CHistoryEntry entry;
  entry.m_strRun = std::move(run);
  entry.m_nId = 4;
  entry.m_nTime = 1800000000;
  entry.m_strTime = "2026-12-07 19:04:12";
  entry.m_change.m_kind = ChangeKind::AddRoute;
  entry.m_change.m_strInterface = std::move(name);
  entry.m_change.m_nInterfaceId = 0x0006000001000000ULL;
  entry.m_change.m_strAddress = "::/0";
  entry.m_change.m_strNextHop = "fe80::1";
  entry.m_change.m_strMetric = "10";
  entry.m_change.m_strStore = "active";
  entry.m_strLine = FormatChangeCommand(entry.m_change);
  entry.m_result.m_outcome = outcome;
  entry.m_result.m_nExitCode = outcome == NetshOutcome::NetshFailed ? 1 : 0;
  entry.m_result.m_strOutput = "Element not found.\r\n";
  entry.m_nUndoes = 2;
  return entry;
}

// What the History window shows of an entry, and what Copy needs.
std::string Shown(const CHistoryEntry& e) {
  return e.m_strRun + " | " + std::to_string(e.m_nId) + " | " + e.m_strTime + " | " + e.m_change.m_strInterface +
         " | " + e.m_strLine + " | " + DescribeHistoryOutcome(e.m_result) + " | " + e.m_result.m_strOutput + " | " +
         FormatPowerShellCommand(e.m_change) + (e.m_bFromLog ? " | from the log" : "");
}

TEST(HistoryLog, EarlierRunsReadBackAndDamagedLinesSkipped) {
  const CHistoryEntry failed = Entry("run-1", "R\xC3\xA9seau", NetshOutcome::NetshFailed);
  const CHistoryEntry refused = Entry("run-1", "bad\xFF", NetshOutcome::Refused);
  const std::string line = FormatHistoryLogLine(failed);
  CHistoryEntry expected = failed;
  expected.m_nId = -1;
  expected.m_bFromLog = true;
  const struct {
    std::string text;
    std::string run;
    std::vector<std::string> shown;
    const char* reason;
  } cases[] = {
      {line, "run-2", {Shown(expected)}, "one line, read back as the window shows it"},
      {line, "run-1", {}, "the current run's entries are shown from memory"},
      {"{\"run\":\"run-1\"\n" + line, "run-2", {Shown(expected)}, "a line cut short by a crash is skipped"},
      {"[1,2]\nnot json\n\n" + line, "run-2", {Shown(expected)}, "a line that is no object, and an empty one"},
      {"{\"run\":\"r\",\"time\":\"noon\",\"local\":\"\",\"kind\":\"add dns\",\"outcome\":\"succeeded\","
       "\"line\":\"\",\"interface\":\"x\"}\n",
       "run-2", {}, "a field of another type"},
      {"{\"run\":\"r\",\"time\":1,\"local\":\"\",\"kind\":\"rename\",\"outcome\":\"succeeded\",\"line\":\"\","
       "\"interface\":\"x\"}\n",
       "run-2", {}, "a kind this version does not know"},
      {line.substr(0, line.size() - 1) + "\r\n", "run-2", {Shown(expected)}, "CRLF line ends"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> shown;
    for (const CHistoryEntry& entry : ParseHistoryLog(c.text, c.run)) shown.push_back(Shown(entry));
    EXPECT_EQ(shown, c.shown) << c.reason;
  }
  const std::vector<CHistoryEntry> replaced = ParseHistoryLog(FormatHistoryLogLine(refused), "");
  ASSERT_EQ(replaced.size(), 1u) << "text that is not UTF-8 is written, replaced";
  EXPECT_EQ(replaced[0].m_change.m_strInterface, "bad\xEF\xBF\xBD");
}

TEST(HistoryLog, MovedAsideBeforeItPassesOneMegabyte) {
  const struct {
    std::uint64_t size;
    std::size_t adding;
    bool bFull;
    const char* reason;
  } cases[] = {
      {0, 2 * HISTORY_LOG_MAX_BYTES, false, "an empty log takes even a line longer than the limit"},
      {HISTORY_LOG_MAX_BYTES - 10, 10, false, "exactly at the limit"},
      {HISTORY_LOG_MAX_BYTES - 10, 11, true, "one byte past it"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsHistoryLogFull(c.size, c.adding), c.bFull) << c.reason;
}

}  // namespace
}  // namespace vantoric
