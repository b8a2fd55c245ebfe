// /apply files from arbitrary bytes, planned against a small machine: the
// reader answers with a state or an error and nothing else; no error or
// finding holds a control character; an entry error plans nothing; and a
// plan that is not refused hands netsh only lines its own check accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/apply_plan.h"
#include "core/lifetime_text.h"

namespace {

using namespace vantoric;

struct CMachine {
  std::vector<CAdapterRecord> m_records;
  std::vector<std::vector<CRouteRecord>> m_routes;

  CMachine() : m_records(2) {
    m_records[0].m_strFriendlyName = "Ethernet";
    m_records[0].m_macLength = 6;
    m_records[0].m_addresses = {{"2001:db8::5", "Manual", "Preferred", "infinite", "infinite", INFINITE_LIFETIME,
                                 INFINITE_LIFETIME},
                                {"fe80::1%4", "Link-Local", "Preferred", "infinite", "infinite", INFINITE_LIFETIME,
                                 INFINITE_LIFETIME}};
    m_records[0].m_dnsServers = {"2001:db8::53"};
    m_records[1].m_strFriendlyName = "Wi-Fi";
    CRouteRecord gateway;
    gateway.m_strDestination = "::/0";
    gateway.m_strNextHopAddress = "fe80::1";
    gateway.m_strOrigin = "Manual";
    gateway.m_bDefault = true;
    m_routes = {{gateway}, {}};
  }
};

// Whether text could act on a console: a C0 control or DEL. (What the file
// says is escaped before any message quotes it.)
bool HasControl(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const CMachine machine;
  CWantedState state;
  const std::string error = ReadWantedState(std::string_view(reinterpret_cast<const char*>(data), size), state);
  if (!error.empty()) {
    if (!state.m_adapters.empty()) std::abort();  // a file with an error is not read in part
    if (HasControl(error)) std::abort();
    return 0;
  }
  CApplyReading reading;
  reading.m_pRecords = machine.m_records.data();
  reading.m_nCount = machine.m_records.size();
  reading.m_pRoutes = &machine.m_routes;
  reading.m_readConnections = [] { return CConnectionReading{true, {{"2001:db8::5", 22, "2001:db8::99", 5000}}}; };
  const CApplyPlan plan = PlanApply(state, reading);
  if (!plan.m_strError.empty() && (!plan.m_changes.empty() || !plan.m_findings.empty())) std::abort();
  if (HasControl(plan.m_strError)) std::abort();
  for (const CPlanFinding& finding : plan.m_findings)
    if (HasControl(finding.m_strAdapter) || HasControl(finding.m_strText)) std::abort();
  if (plan.IsRefused()) return 0;
  for (const CChange& change : plan.m_changes)
    if (CheckNetshLine(FormatChangeCommand(change)) != NetshRefusal::None) std::abort();
  return 0;
}
