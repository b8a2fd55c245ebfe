// The path that commands take, fixed for the length of a test: the Windows
// major version that chooses between the elevated launch and the console,
// and whether the program counts as elevated. Both are the system's own
// again when the scope ends.
#pragma once

#include <windows.h>

namespace vantoric::test {

class CNetshPathScope {
 public:
  // nElevated: 1 elevated, 0 not (Wine's own token is elevated), -1 as the
  // token says.
  explicit CNetshPathScope(DWORD nMajorVersion, int nElevated = -1);
  ~CNetshPathScope();
  CNetshPathScope(const CNetshPathScope&) = delete;
  CNetshPathScope& operator=(const CNetshPathScope&) = delete;
};

}  // namespace vantoric::test
