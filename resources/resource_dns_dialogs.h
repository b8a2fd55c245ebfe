// Resource identifiers of dns_dialogs.rc.
#pragma once
