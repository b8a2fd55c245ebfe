#include "app/instance_rules.h"

#include "framework/ascii_text.h"

namespace vantoric {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Reserved in every part of a path; the drive's colon is checked apart.
bool IsForbidden(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*' || c == ':';
}

}  // namespace

bool IsHandedOverFileName(std::string_view text) {
  std::string_view rest;
  if (text.size() > 3 && IsLetter(text[0]) && text[1] == ':' && text[2] == '\\') {
    rest = text.substr(3);
  } else if (text.size() > 2 && text.substr(0, 2) == "\\\\") {
    rest = text.substr(2);
    // A server and a share, each named.
    const std::size_t slash = rest.find('\\');
    if (slash == 0 || slash == std::string_view::npos || slash + 1 >= rest.size() || rest[slash + 1] == '\\')
      return false;
  } else {
    return false;
  }
  for (char c : rest) {
    if (IsForbidden(c)) return false;
  }
  return true;
}

bool IsTakeOverStart(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg.size() == TAKE_OVER_SWITCH.size() && (arg[0] == '/' || arg[0] == '-') &&
        LowerAscii(std::string_view(arg).substr(1)) == TAKE_OVER_SWITCH.substr(1))
      return true;
  }
  return false;
}

}  // namespace vantoric
