#include "core/apply_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "core/adapter_listing.h"
#include "core/address_guards.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

using Json = nlohmann::json;

constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";
constexpr std::string_view UTF16LE_BOM = "\xFF\xFE";
constexpr std::string_view MANUAL = "Manual";

// A wrong field: where it is and why, carried out of the nested readers.
struct CFieldError {
  std::string m_strText;
};

[[noreturn]] void Fail(const std::string& where, const std::string& why) { throw CFieldError{where + ": " + why}; }

std::string Member(const std::string& where, std::string_view key) {
  return where.empty() ? std::string(key) : where + "." + std::string(key);
}
std::string Element(const std::string& where, std::size_t index) {
  return where + "[" + std::to_string(index) + "]";
}

// UTF-16 LE bytes (after the mark) as UTF-8; a lone surrogate becomes U+FFFD.
std::string FromUtf16Le(std::string_view bytes) {
  std::string out;
  const auto unit = [&](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string WrongType(const Json& value, std::string_view wanted) {
  return "is " + std::string(value.type_name()) + ", not " + std::string(wanted);
}

// Each key of `object` must be one of `known`.
void CheckKeys(const Json& object, const std::string& where, std::initializer_list<std::string_view> known) {
  for (const auto& item : object.items()) {
    if (std::find(known.begin(), known.end(), item.key()) == known.end())
      Fail(Member(where, item.key()), "is not a field this version of Vantoric reads");
  }
}

// A text field; nullopt when it is left out or null.
std::optional<std::string> OptionalText(const Json& object, std::string_view key, const std::string& where) {
  const auto it = object.find(key);
  if (it == object.end() || it->is_null()) return std::nullopt;
  if (!it->is_string()) Fail(Member(where, key), WrongType(*it, "a string"));
  return it->get<std::string>();
}

std::string RequiredText(const Json& object, std::string_view key, const std::string& where) {
  std::optional<std::string> text = OptionalText(object, key, where);
  if (!text) Fail(Member(where, key), "is missing");
  return *text;
}

const Json& RequireObject(const Json& value, const std::string& where) {
  if (!value.is_object()) Fail(where, WrongType(value, "an object"));
  return value;
}

const Json& RequireArray(const Json& value, const std::string& where) {
  if (!value.is_array()) Fail(where, WrongType(value, "an array"));
  return value;
}

// An address without its zone ("fe80::5%4": the zone is the adapter's own).
std::string AddressText(const std::string& text, const std::string& where) {
  if (CIpv6Bytes bytes; !ParseIpv6Bytes(text, bytes)) Fail(where, "\"" + text + "\" is not an IPv6 address");
  return text.substr(0, text.find('%'));
}

// Whether an entry that /list wrote is one the system configured.
bool IsSystemConfigured(const std::optional<std::string>& origin) { return origin && *origin != MANUAL; }

void ReadAddresses(const Json& value, const std::string& where, CWantedAdapter& adapter) {
  adapter.m_bAddresses = true;
  const Json& entries = RequireArray(value, where);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string at = Element(where, i);
    const Json& entry = RequireObject(entries[i], at);
    CheckKeys(entry, at, {"address", "kind", "state", "type", "valid_lifetime", "preferred_lifetime", "valid_seconds",
                          "preferred_seconds", "store"});
    const std::string text = RequiredText(entry, "address", at);
    if (IsSystemConfigured(OptionalText(entry, "kind", at))) continue;
    CWantedAddress address;
    address.m_strAddress = AddressText(text, Member(at, "address"));
    address.m_strType = OptionalText(entry, "type", at).value_or(address.m_strType);
    address.m_strValidLifetime = OptionalText(entry, "valid_lifetime", at).value_or(address.m_strValidLifetime);
    address.m_strPreferredLifetime =
        OptionalText(entry, "preferred_lifetime", at).value_or(address.m_strPreferredLifetime);
    address.m_strStore = OptionalText(entry, "store", at).value_or(address.m_strStore);
    adapter.m_addresses.push_back(std::move(address));
  }
}

void ReadDnsServers(const Json& value, const std::string& where, CWantedAdapter& adapter) {
  adapter.m_bDnsServers = true;
  const Json& entries = RequireArray(value, where);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string at = Element(where, i);
    if (!entries[i].is_string()) Fail(at, WrongType(entries[i], "a string"));
    const CDnsServerCheck server = CheckDnsServerText(entries[i].get<std::string>());
    if (!server.m_bPassed) Fail(at, server.m_strRefusal);
    adapter.m_dnsServers.push_back(server.m_strServer);
  }
}

void ReadRoutes(const Json& value, const std::string& where, CWantedAdapter& adapter) {
  adapter.m_bRoutes = true;
  const Json& entries = RequireArray(value, where);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string at = Element(where, i);
    const Json& entry = RequireObject(entries[i], at);
    CheckKeys(entry, at, {"destination", "next_hop", "metric", "valid_lifetime", "preferred_lifetime",
                          "valid_seconds", "preferred_seconds", "origin", "store"});
    CRouteInput route;
    route.m_strPrefix = RequiredText(entry, "destination", at);
    if (IsSystemConfigured(OptionalText(entry, "origin", at))) continue;
    route.m_strNextHop = OptionalText(entry, "next_hop", at).value_or("");
    if (!route.m_strNextHop.empty()) route.m_strNextHop = AddressText(route.m_strNextHop, Member(at, "next_hop"));
    if (const auto metric = entry.find("metric"); metric != entry.end() && !metric->is_null()) {
      if (!metric->is_number_unsigned()) Fail(Member(at, "metric"), WrongType(*metric, "a number from 0"));
      route.m_strMetric = std::to_string(metric->get<std::uint64_t>());
    }
    route.m_strValidLifetime = OptionalText(entry, "valid_lifetime", at).value_or(route.m_strValidLifetime);
    route.m_strPreferredLifetime =
        OptionalText(entry, "preferred_lifetime", at).value_or(route.m_strPreferredLifetime);
    route.m_strStore = OptionalText(entry, "store", at).value_or(route.m_strStore);
    adapter.m_routes.push_back(std::move(route));
  }
}

// The sections an adapter entry can hold: one reader each. A section that
// later pages configure is one more row.
struct CSection {
  std::string_view m_key;
  void (*m_read)(const Json& value, const std::string& where, CWantedAdapter& adapter);
};
constexpr CSection SECTIONS[] = {
    {"addresses", ReadAddresses},
    {"dns_servers", ReadDnsServers},
    {"routes", ReadRoutes},
};

CAdapterSelector ReadSelector(const Json& entry, const std::string& where) {
  CAdapterSelector selector;
  if (const std::optional<std::string> name = OptionalText(entry, "friendly_name", where)) {
    selector.m_bName = true;
    selector.m_strName = *name;
  }
  if (const std::optional<std::string> mac = OptionalText(entry, "mac", where)) {
    selector.m_bMac = true;
    for (char c : *mac) selector.m_strMac += c == ':' ? '-' : static_cast<char>(c >= 'a' && c <= 'f' ? c - 32 : c);
  }
  if (const auto it = entry.find("default_route"); it != entry.end() && !it->is_null()) {
    if (!it->is_boolean()) Fail(Member(where, "default_route"), WrongType(*it, "true or false"));
    selector.m_bDefaultRoute = it->get<bool>();
  }
  if (!selector.m_bName && !selector.m_bMac && !selector.m_bDefaultRoute)
    Fail(where, "names no adapter: give \"friendly_name\", \"mac\" or \"default_route\": true");
  return selector;
}

CWantedAdapter ReadAdapter(const Json& value, const std::string& where) {
  const Json& entry = RequireObject(value, where);
  CheckKeys(entry, where,
            {"friendly_name", "mac", "default_route", "description", "addresses", "dns_servers", "routes",
             "interface", "neighbors"});
  CWantedAdapter adapter;
  adapter.m_strWhere = where;
  adapter.m_selector = ReadSelector(entry, where);
  for (const CSection& section : SECTIONS) {
    const auto it = entry.find(section.m_key);
    if (it != entry.end() && !it->is_null()) section.m_read(*it, Member(where, section.m_key), adapter);
  }
  return adapter;
}

void ReadState(const Json& root, CWantedState& state) {
  RequireObject(root, "the file");
  CheckKeys(root, "", {"format", "read_at", "adapters", "system"});
  if (const auto format = root.find("format"); format != root.end()) {
    if (!format->is_number_integer() || format->get<std::int64_t>() != ADAPTER_LISTING_FORMAT)
      Fail("format", "is " + format->dump() + "; this version of Vantoric reads format " +
                         std::to_string(ADAPTER_LISTING_FORMAT));
  }
  const auto adapters = root.find("adapters");
  if (adapters == root.end()) Fail("adapters", "is missing");
  RequireArray(*adapters, "adapters");
  for (std::size_t i = 0; i < adapters->size(); ++i)
    state.m_adapters.push_back(ReadAdapter((*adapters)[i], Element("adapters", i)));
}

}  // namespace

std::string ReadWantedState(std::string_view bytes, CWantedState& state) {
  std::string text;
  if (bytes.starts_with(UTF16LE_BOM)) text = FromUtf16Le(bytes.substr(UTF16LE_BOM.size()));
  else text = bytes.starts_with(UTF8_BOM) ? bytes.substr(UTF8_BOM.size()) : bytes;
  Json root;
  try {
    root = Json::parse(text);
  } catch (const Json::exception& e) {
    // "[json.exception.parse_error.101] parse error at line 3, column 14: ...",
    // or a number too large: "[json.exception.out_of_range.406] number overflow ...".
    std::string what = e.what();
    if (const std::size_t at = what.find(" at line "); at != std::string::npos) return what.substr(at + 4);
    if (const std::size_t end = what.find("] "); end != std::string::npos) what.erase(0, end + 2);
    return what;
  }
  CWantedState read;
  try {
    ReadState(root, read);
  } catch (const CFieldError& e) {
    return e.m_strText;
  }
  state = std::move(read);
  return {};
}

}  // namespace vantoric
