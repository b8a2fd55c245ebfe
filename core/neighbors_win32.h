// The system's IPv6 neighbor cache (GetIpNetTable2), read without the
// facts source in between; ReadNeighborTable in interface_settings_win32.h
// is what the program calls.
#pragma once

#include "core/interface_settings_win32.h"

namespace vantoric {

CNeighborReading ReadSystemNeighborTable();

}  // namespace vantoric
