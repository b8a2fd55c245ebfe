#include "tests/win/support/netsh_path_scope.h"

#include "core/netsh_run_win32.h"

namespace vantoric::test {

CNetshPathScope::CNetshPathScope(DWORD nMajorVersion, int nElevated) {
  SetWindowsMajorVersionForTests(nMajorVersion);
  SetRunningElevatedForTests(nElevated);
}

CNetshPathScope::~CNetshPathScope() {
  SetWindowsMajorVersionForTests(0);
  SetRunningElevatedForTests(-1);
}

}  // namespace vantoric::test
