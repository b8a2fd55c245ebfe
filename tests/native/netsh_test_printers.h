// Lets GoogleTest print run outcomes and refusals by name.
#pragma once

#include <ostream>

#include "core/netsh_commands.h"

namespace vantoric {

inline void PrintTo(NetshOutcome outcome, std::ostream* os) {
  static const char* const names[] = {"Succeeded", "Refused",  "ElevationRefused",
                                      "LaunchFailed", "TimedOut", "NetshFailed"};
  *os << names[static_cast<int>(outcome)];
}

inline void PrintTo(NetshRefusal refusal, std::ostream* os) {
  static const char* const names[] = {"None", "LineTooLong", "QuoteInValue", "ControlCharacter", "InvalidText",
                                      "Busy", "NoSystemFolder", "OtherContext"};
  *os << names[static_cast<int>(refusal)];
}

}  // namespace vantoric
