// Which global atoms the running instance takes as a later start's file
// name (full paths only, never an atom some other program holds), and the
// switch of a start that takes the instance's role over.
#include "app/instance_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantoric {
namespace {

TEST(HandedOverFileName, OnlyFullPathsWithoutReservedCharacters) {
  const struct {
    const char* reason;
    std::string text;
    bool accepted;
  } cases[] = {
      {"drive path", "C:\\data\\a b.txt", true},
      {"lower-case drive letter", "d:\\x", true},
      {"first and last drive letters", "A:\\x", true},
      {"last drive letter", "z:\\x", true},
      {"last capital drive letter", "Z:\\x", true},
      {"drive path to a folder", "C:\\data\\", true},
      {"UNC path", "\\\\server\\share\\a.txt", true},
      {"UNC share alone", "\\\\server\\share", true},
      {"UNC share of one letter", "\\\\server\\s", true},
      {"UNC with an empty share name", "\\\\server\\\\s", false},
      {"non-ASCII name", "C:\\Daten\\\xC3\xBC" "bersicht.txt", true},
      {"empty", "", false},
      {"drive root alone names no file", "C:\\", false},
      {"relative name", "a.txt", false},
      {"drive-relative name", "C:a.txt", false},
      {"rooted without a drive", "\\data\\a.txt", false},
      {"digit for a drive letter", "1:\\a.txt", false},
      {"another program's atom", "OleDropTargetInterface", false},
      {"integer atom as GlobalGetAtomName shows it", "#49152", false},
      {"UNC server without a share", "\\\\server", false},
      {"UNC server and a backslash", "\\\\server\\", false},
      {"UNC without a server", "\\\\\\share\\a.txt", false},
      {"device namespace", "\\\\?\\C:\\a.txt", false},
      {"second colon: a stream", "C:\\a.txt:stream", false},
      {"wildcard", "C:\\*.txt", false},
      {"quote", "C:\\a\".txt", false},
      {"pipe", "C:\\a|b.txt", false},
      {"angle bracket", "C:\\a<b.txt", false},
      {"line break", "C:\\a\nb.txt", false},
      {"tab", "C:\\a\tb.txt", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsHandedOverFileName(c.text), c.accepted) << c.reason << ": " << c.text;
}

TEST(TakeOverStart, TheSwitchOfARestartAsAdministrator) {
  const struct {
    std::vector<std::string> args;
    bool bTakeOver;
    const char* reason;
  } cases[] = {
      {{}, false, "a plain start hands over to the running instance"},
      {{"/takeover"}, true, "the restart's own switch"},
      {{"-TakeOver"}, true, "any letter case, either switch sign"},
      {{"C:\\takeover"}, false, "a file name is not the switch"},
      {{"/takeovers"}, false, "a longer switch"},
      {{"/list", "/takeover"}, true, "among other arguments"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsTakeOverStart(c.args), c.bTakeOver) << c.reason;
}

}  // namespace
}  // namespace vantoric
