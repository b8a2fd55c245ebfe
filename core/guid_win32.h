// The platform's GUID services for adapter records.
#pragma once

namespace vantoric {

// Installs CoCreateGuid for a record's GUID, UuidCreate for random
// identifiers and a message box for a null GUID.
void InstallWin32GuidServices();

}  // namespace vantoric
