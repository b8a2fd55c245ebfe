// The file that `vantoric /apply` reads: the `/list` layout, read into the
// wanted state of each adapter it names. Portable.
//
// Each entry of "adapters" names its adapter by "friendly_name", "mac" or
// "default_route": true; when it gives more than one (as /list writes both
// the name and the MAC), the adapter must match them all. A section
// ("addresses", "dns_servers", "routes") that is present is the whole of
// what a person configures there; one left out (or null) is left alone.
// Entries that the system configured ("kind" other than "Manual", "origin"
// other than "Manual") may stay in the file and are skipped. The fields
// that /list writes for reading only are ignored, and so are the system
// settings ("system"), an adapter's interface settings ("interface") and its
// neighbor cache ("neighbors"), which are not applied; any other key is an
// error, so that a section this version cannot apply is never passed over
// in silence.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/route_records.h"

namespace vantoric {

// An address as the file wants it; the texts are as written.
struct CWantedAddress {
  std::string m_strAddress;
  std::string m_strType = "unicast";
  std::string m_strValidLifetime = "infinite";
  std::string m_strPreferredLifetime = "infinite";
  std::string m_strStore = "persistent";
};

// How an entry names its adapter; a key left out is not compared.
struct CAdapterSelector {
  bool m_bName = false;
  std::string m_strName;
  bool m_bMac = false;
  std::string m_strMac;
  bool m_bDefaultRoute = false;
};

// One adapter entry: where it is in the file ("adapters[2]"), how it names
// its adapter and the sections it holds.
struct CWantedAdapter {
  std::string m_strWhere;
  CAdapterSelector m_selector;
  bool m_bAddresses = false;
  std::vector<CWantedAddress> m_addresses;
  bool m_bDnsServers = false;
  std::vector<std::string> m_dnsServers;
  bool m_bRoutes = false;
  std::vector<CRouteInput> m_routes;  // the metric empty where the file leaves it to the system
};

struct CWantedState {
  std::vector<CWantedAdapter> m_adapters;
};

// Text from the file as a message shows it: each control character (C0,
// DEL and C1) written as a JSON escape ("\t", "\u0007"), so that what a
// file holds can never act on the console that shows the message.
std::string EscapeControlText(std::string_view text);

// Reads the file's bytes (UTF-8, with or without a byte-order mark, or
// UTF-16 LE with its mark, as PowerShell 5 redirects) into `state`. Returns
// the error, empty when the file was read: a JSON error with its line and
// column ("line 3, column 14: ..."), also for a key given twice in one
// object, values nested more than 64 deep and bytes after the document; or
// the field that is wrong with why ("adapters[0].addresses[1].address: ...
// is not an IPv6 address"). Text from the file in it is escaped
// (EscapeControlText).
std::string ReadWantedState(std::string_view bytes, CWantedState& state);

}  // namespace vantoric
