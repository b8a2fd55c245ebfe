// Resource identifiers of address_dialogs.rc.
#pragma once
