#include "core/apply_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <iterator>
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
// How deep values may nest: a listing nests five deep; a file nested deeper
// is not one, and its depth would only cost stack and time.
constexpr int MAX_NESTING = 64;
// How much of a value an error message quotes.
constexpr std::size_t MAX_QUOTED_BYTES = 40;

// A wrong field: where it is and why, carried out of the nested readers.
struct CFieldError {
  std::string m_strText;
};

// Keys and values in `where` and `why` come from the file: escaped here.
[[noreturn]] void Fail(const std::string& where, const std::string& why) {
  throw CFieldError{EscapeControlText(where + ": " + why)};
}

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

// A value as an error names it: a number or a short text as written, any
// other value by its type only, so that no message copies a whole structure.
std::string DescribeValue(const Json& value) {
  if (value.is_number() || value.is_boolean() || value.is_null()) return value.dump();
  if (!value.is_string()) return std::string(value.type_name());
  const std::string& text = value.get_ref<const std::string&>();
  std::size_t cut = std::min(text.size(), MAX_QUOTED_BYTES);
  while (cut < text.size() && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return "\"" + text.substr(0, cut) + (cut < text.size() ? "...\"" : "\"");
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
      Fail("format", "is " + DescribeValue(*format) + "; this version of Vantoric reads format " +
                         std::to_string(ADAPTER_LISTING_FORMAT));
  }
  const auto adapters = root.find("adapters");
  if (adapters == root.end()) Fail("adapters", "is missing");
  RequireArray(*adapters, "adapters");
  for (std::size_t i = 0; i < adapters->size(); ++i)
    state.m_adapters.push_back(ReadAdapter((*adapters)[i], Element("adapters", i)));
}

// "[json.exception.parse_error.101] parse error at line 3, column 14: ...",
// or a number too large: "[json.exception.out_of_range.406] number overflow
// ...", without the library's prefix.
std::string JsonErrorText(const std::string& what) {
  if (const std::size_t at = what.find(" at line "); at != std::string::npos) return what.substr(at + 4);
  if (const std::size_t end = what.find("] "); end != std::string::npos) return what.substr(end + 2);
  return what;
}

// "line L, column C" of the byte at `offset`, counted as the JSON library
// counts its own positions (from 1, in bytes).
std::string Position(std::string_view text, std::size_t offset) {
  const std::string_view before = text.substr(0, offset);
  const std::size_t line = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
  const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
  return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

// Bytes read one at a time by the JSON library's parser, noting how far it
// got: when it reports a key, that is just past the key's closing quote;
// when it reports an array or object, just past its bracket.
class CTrackedBytes {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  CTrackedBytes(const char* p, const char** pReached) : m_p(p), m_pReached(pReached) {}
  reference operator*() const { return *m_p; }
  CTrackedBytes& operator++() {
    *m_pReached = ++m_p;
    return *this;
  }
  CTrackedBytes operator++(int) {
    CTrackedBytes before = *this;
    ++*this;
    return before;
  }
  bool operator==(const CTrackedBytes& other) const { return m_p == other.m_p; }
  bool operator!=(const CTrackedBytes& other) const { return m_p != other.m_p; }

 private:
  const char* m_p;
  const char** m_pReached;
};

// What the JSON library lets pass and a file of wanted state must not hold:
// a key twice in one object (the library keeps the last), values nested
// deeper than MAX_NESTING (each level costs stack wherever a value is
// walked), and bytes after the document (a NUL ends the library's reading
// early). The first fault found, with its position; empty when none.
class CStrictCheck : public nlohmann::json_sax<Json> {
 public:
  explicit CStrictCheck(std::string_view text) : m_text(text), m_pReached(text.data()) {}

  std::string Run() {
    const CTrackedBytes begin(m_text.data(), &m_pReached), end(m_text.data() + m_text.size(), &m_pReached);
    if (!Json::sax_parse(begin, end, this)) return m_strFault;
    // The parser stops at the end of the input, or at a NUL, which it takes
    // for the end.
    const std::size_t reached = Reached();
    const std::size_t nul = reached > 0 && m_text[reached - 1] == '\0' ? reached - 1 : reached;
    if (nul < m_text.size())
      return Position(m_text, nul) + ": bytes follow the end of the document; a file holds one JSON object only";
    return {};
  }

  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override {
    m_keys.emplace_back();
    return Enter();
  }
  bool key(string_t& key) override {
    std::vector<std::string>& keys = m_keys.back();
    if (std::find(keys.begin(), keys.end(), key) != keys.end())
      return Fault(KeyStart(), "the key \"" + key + "\" is given twice in one object");
    keys.push_back(key);
    return true;
  }
  bool end_object() override {
    m_keys.pop_back();
    --m_nDepth;
    return true;
  }
  bool start_array(std::size_t) override { return Enter(); }
  bool end_array() override {
    --m_nDepth;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
    m_strFault = EscapeControlText(JsonErrorText(e.what()));
    return false;
  }

 private:
  std::size_t Reached() const { return static_cast<std::size_t>(m_pReached - m_text.data()); }
  bool Enter() {
    if (++m_nDepth <= MAX_NESTING) return true;
    return Fault(Reached() - 1, "values are nested more than " + std::to_string(MAX_NESTING) + " deep");
  }
  // Where the key just read begins: its opening quote, the last quote before
  // the closing one that no backslash escapes.
  std::size_t KeyStart() const {
    std::size_t at = Reached() - 1;
    while (at > 0) {
      --at;
      std::size_t backslashes = 0;
      while (backslashes < at && m_text[at - 1 - backslashes] == '\\') ++backslashes;
      if (m_text[at] == '"' && backslashes % 2 == 0) break;
    }
    return at;
  }
  bool Fault(std::size_t offset, const std::string& why) {
    m_strFault = EscapeControlText(Position(m_text, offset) + ": " + why);
    return false;
  }

  std::string_view m_text;
  const char* m_pReached;
  std::vector<std::vector<std::string>> m_keys;  // the keys of each open object
  int m_nDepth = 0;                              // arrays and objects open
  std::string m_strFault;
};

}  // namespace

std::string EscapeControlText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F in UTF-8.
    const bool bC1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                     static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (c >= 0x20 && c != 0x7F && !bC1) {
      out += text[i];
      continue;
    }
    const unsigned code = bC1 ? static_cast<unsigned char>(text[++i]) : c;
    switch (code) {
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04X", code);
        out += escaped;
      }
    }
  }
  return out;
}

std::string ReadWantedState(std::string_view bytes, CWantedState& state) {
  std::string text;
  if (bytes.starts_with(UTF16LE_BOM)) {
    const std::string_view units = bytes.substr(UTF16LE_BOM.size());
    if (units.size() % 2 != 0) return "the file ends in half a UTF-16 character: a byte follows the last character";
    text = FromUtf16Le(units);
  } else {
    text = bytes.starts_with(UTF8_BOM) ? bytes.substr(UTF8_BOM.size()) : bytes;
  }
  // Checked first, so that the document read below is one whose depth and
  // keys are known to be sound.
  if (std::string fault = CStrictCheck(text).Run(); !fault.empty()) return fault;
  Json root;
  try {
    root = Json::parse(text);
  } catch (const Json::exception& e) {
    return EscapeControlText(JsonErrorText(e.what()));
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
