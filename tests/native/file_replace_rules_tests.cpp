// What a failed replace of a file left, as the user is told it, and when the
// temporary file may go: never once the old file has left its place.
#include "framework/file_replace_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace vantoric {
namespace {

TEST(DescribeFailedReplace, BothFilesKeptOnceTheOldOneMoved) {
  const std::string path = "C:\\Scripts\\undo.cmd";
  const std::string backup = "C:\\Scripts\\undo.cmd.4f2a.bak";
  const std::string temp = "C:\\Scripts\\undo.cmd.9c1e.tmp";
  const struct {
    bool path, backup, temp;
    bool deleteTemp;
    std::string text;
    const char* why;
  } cases[] = {
      {true, false, true, true, "\"C:\\Scripts\\undo.cmd\" is as it was.",
       "the old file never moved (a file in use): the temporary file goes"},
      {false, true, true, false,
       "The old file is now \"C:\\Scripts\\undo.cmd.4f2a.bak\". The new text is in \"C:\\Scripts\\undo.cmd.9c1e.tmp\". "
       "Nothing is at \"C:\\Scripts\\undo.cmd\" now.",
       "the old file moved aside and the new one could not follow: both kept, both named"},
      {true, true, false, false,
       "The old file is now \"C:\\Scripts\\undo.cmd.4f2a.bak\". \"C:\\Scripts\\undo.cmd\" holds the new text.",
       "the new file in place, the old one left under its backup name"},
      {true, true, true, false,
       "The old file is now \"C:\\Scripts\\undo.cmd.4f2a.bak\". The new text is in \"C:\\Scripts\\undo.cmd.9c1e.tmp\".",
       "something at the name besides both: nothing removed"},
      {false, false, true, false,
       "The new text is in \"C:\\Scripts\\undo.cmd.9c1e.tmp\". Nothing is at \"C:\\Scripts\\undo.cmd\" now.",
       "no old file and the new one not moved into place: the temporary file is all there is"},
      {false, false, false, false, "Nothing is at \"C:\\Scripts\\undo.cmd\" now.", "nothing left at all"},
  };
  for (const auto& c : cases) {
    const CReplaceAftermath after = DescribeFailedReplace({path, c.path, backup, c.backup, temp, c.temp});
    EXPECT_EQ(after.m_bDeleteTemp, c.deleteTemp) << c.why;
    EXPECT_EQ(after.m_strText, c.text) << c.why;
  }
}

}  // namespace
}  // namespace vantoric
