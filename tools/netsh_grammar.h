// netsh's documented syntax for the commands of its interface ipv6, teredo,
// isatap and 6to4 contexts, as data, and one matcher over it. The recording
// netsh stand-in checks every line it receives with it; a native test holds
// it to the reference. It shares nothing with the program's own formatters,
// so that neither can agree with the other's mistake. Portable: no windows.h.
#pragma once

#include <string>
#include <string_view>

namespace vantoric::netsh_syntax {

enum class SyntaxFault {
  None,
  UnknownCommand,    // a word that starts no documented command of its level
  AmbiguousCommand,  // a word that starts more than one
  NotCovered,        // a documented command whose parameters the grammar does not hold
  UnknownArgument,   // a tag the command does not have, or more arguments than it has
  RepeatedArgument,  // a parameter given twice, by tag or by position
  MissingArgument,   // a required parameter not given
  BadValue,          // a value that is not in the documented form
};

struct CSyntaxCheck {
  SyntaxFault m_fault = SyntaxFault::None;
  // The command's words in full (as far as they were found).
  std::string m_strCommand;
  // The word, tag or value at fault.
  std::string m_strItem;

  bool Accepted() const { return m_fault == SyntaxFault::None; }
};

// Checks one command as netsh receives it: its arguments after the program
// name, or a line typed at its prompt (UTF-8, without the line end).
CSyntaxCheck CheckSyntax(std::string_view line);

// What netsh prints for a line that `check` refused, with CR LF line ends.
std::string RefusalText(const CSyntaxCheck& check, std::string_view line);

}  // namespace vantoric::netsh_syntax
