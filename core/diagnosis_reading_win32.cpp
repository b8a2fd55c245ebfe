#include "core/diagnosis_reading_win32.h"

#include <ctime>
#include <memory>
#include <optional>

#include "core/adapter_enumeration_win32.h"
#include "core/connection_guard_win32.h"
#include "core/diagnosis_probes_win32.h"
#include "core/interface_settings_win32.h"
#include "core/system_settings_win32.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

// The index of the record with this name, exactly, else in any letter case
// (Windows treats adapter names so); -1 for none.
int FindAdapter(const std::vector<std::string>& names, const std::string& name) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (LowerAscii(names[i]) == LowerAscii(name)) return static_cast<int>(i);
  return -1;
}

template <typename T>
std::vector<T> OfInterface(const std::vector<T>& rows, std::uint64_t id) {
  std::vector<T> own;
  for (const T& row : rows)
    if (row.m_nInterface == id) own.push_back(row);
  return own;
}

}  // namespace

CDiagnosisReading ReadDiagnosis(const std::string& adapterName) {
  CDiagnosisReading reading;
  std::unique_ptr<CAdapterRecord[]> records;
  std::size_t count = 0;
  reading.m_nError = TakeAdapterSnapshot(records, count, reading.m_names);
  if (reading.m_nError != 0) return reading;
  if (count == 0) {
    reading.m_state = DiagnosisReadState::NoAdapter;
    return reading;
  }
  // Each adapter's identity and routes, from one reading of the table.
  const CRouteTableReading table = ReadRouteTable();
  std::vector<std::uint64_t> ids(count, 0);
  std::vector<std::vector<CRouteData>> routes(count);
  std::vector<const CAdapterRecord*> pointers;
  for (std::size_t i = 0; i < count; ++i) {
    ids[i] = records[i].m_nLuid;
    if (ids[i] == 0) ReadInterfaceId(records[i].m_strFriendlyName, ids[i]);
    if (table.m_state == RouteTableState::Read && ids[i] != 0) routes[i] = OfInterface(table.m_routes, ids[i]);
    pointers.push_back(&records[i]);
  }
  const int chosen =
      adapterName.empty() ? ChooseDiagnosedAdapter(pointers, routes) : FindAdapter(reading.m_names, adapterName);
  if (chosen < 0) {
    reading.m_state = DiagnosisReadState::UnknownAdapter;
    return reading;
  }
  const std::size_t self = static_cast<std::size_t>(chosen);
  const std::uint64_t id = ids[self];
  CDiagnosisReadings& r = reading.m_readings;
  r.m_adapter = records[self];
  r.m_bRoutesRead = table.m_state == RouteTableState::Read && id != 0;
  r.m_routes = routes[self];
  r.m_otherDefaults = OtherDefaultRouteAdapters(pointers, routes, self);
  const CNeighborReading neighbors = ReadNeighborTable();
  r.m_bNeighborsRead = neighbors.m_state == InterfaceReadState::Read && id != 0;
  if (r.m_bNeighborsRead) r.m_neighbors = OfInterface(neighbors.m_neighbors, id);
  if (id != 0) {
    const CInterfaceReading settings = ReadInterfaceSettings(id);
    r.m_bSettingsRead = settings.m_state == InterfaceReadState::Read;
    r.m_settings = settings.m_settings;
  }
  r.m_system = ReadSystemState(ReadSystemFacts());

  // The adapter as /list writes it.
  const std::vector<CListedRoutes> listedRoutes{r.m_bRoutesRead ? CListedRoutes(MakeRouteRecords(table.m_routes, id))
                                                                : std::nullopt};
  CAdapterLinkFacts link;
  link.m_bSettingsRead = r.m_bSettingsRead;
  link.m_settings = r.m_settings;
  link.m_bNeighborsRead = r.m_bNeighborsRead;
  if (r.m_bNeighborsRead) link.m_neighbors = MakeNeighborRecords(neighbors.m_neighbors, id);
  const std::vector<CAdapterLinkFacts> links{link};
  r.m_strListing =
      FormatAdapterListing(&records[self], 1, FormatUtcTime(std::time(nullptr)), &listedRoutes, &r.m_system, &links);
  reading.m_state = DiagnosisReadState::Read;
  return reading;
}

CDiagnosisReport DiagnoseReadings(const CDiagnosisReadings& readings, const std::string& target,
                                  const std::function<bool()>& isCancelled, const ProbeProgress& progress) {
  CDiagnosisReport report;
  const CDiagnosisTarget to{target.empty() ? std::string(DEFAULT_DIAGNOSIS_TARGET) : target};
  report.m_strAdapter = readings.m_adapter.m_strFriendlyName;
  report.m_strTarget = to.m_strHost;
  report.m_strRunAt = FormatUtcTime(std::time(nullptr));
  const CProbeOutcomes outcomes =
      RunProbes(PlanProbes(ProbeNeedsOf(readings), to), MakeDiagnosisProbes(), PROBE_BOUND_MS, isCancelled, progress);
  report.m_strTargetAddress = outcomes.m_strTargetAddress;
  report.m_diagnosis = Diagnose(readings, to, outcomes);
  report.m_strListing = readings.m_strListing;
  return report;
}

}  // namespace vantoric
