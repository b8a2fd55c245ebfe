// Command lines from arbitrary bytes used as an interface name: an accepted
// line holds no control byte, exactly the two quotes around the name and at
// most 255 characters, and netsh's words, however cut, stay valid text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/netsh_commands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantoric;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Repeated, so that short inputs reach the length limit too.
  const std::string name = std::string(input) + std::string(input) + std::string(input);
  const std::string line = FormatAddDnsCommand(name, "2001:db8::53", "1");
  const NetshRefusal refusal = CheckNetshLine(line);
  // netsh's words, tidied and maybe cut, must stay valid UTF-8 when they were.
  CNetshResult result;
  while (!input.empty() && result.m_strOutput.size() <= 2100) result.m_strOutput += input;
  if (refusal == NetshRefusal::InvalidText) return 0;

  std::size_t chars = 0;
  int quotes = 0;
  for (unsigned char c : line) {
    if ((c & 0xC0) != 0x80) ++chars;
    if (c == '"') ++quotes;
    if (refusal == NetshRefusal::None && (c < 0x20 || c == 0x7F)) std::abort();
  }
  if (refusal == NetshRefusal::None && (quotes != 2 || chars > NETSH_MAX_LINE_CHARS)) std::abort();
  if (refusal == NetshRefusal::LineTooLong && chars <= NETSH_MAX_LINE_CHARS) std::abort();

  // Invalid text is reported before any other refusal, whatever the length.
  result.m_outcome = NetshOutcome::NetshFailed;
  if (CheckNetshLine(DescribeNetshResult(result)) == NetshRefusal::InvalidText) std::abort();
  return 0;
}
