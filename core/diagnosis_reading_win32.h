// One diagnosis on Windows: the readings taken through the program's own
// readers and their sources (the adapter snapshot, the route table, the
// neighbor cache, the interface settings, the system-wide settings), the
// probes sent through the seam of diagnosis_probes_win32.h, and the report.
// The window's page and /diagnose both run it; it reads and probes only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/diagnosis_report.h"

namespace vantoric {

enum class DiagnosisReadState {
  Read,
  AdaptersUnread,  // the adapter list could not be read (m_nError)
  NoAdapter,       // the machine has no adapter
  UnknownAdapter,  // no adapter has the name given
};

struct CDiagnosisReading {
  DiagnosisReadState m_state = DiagnosisReadState::AdaptersUnread;
  std::uint32_t m_nError = 0;
  std::vector<std::string> m_names;  // every adapter, in the window's order
  CDiagnosisReadings m_readings;
};

// The readings for the adapter of this friendly name (any letter case when
// no name matches exactly), or, for an empty name, for the adapter that
// ChooseDiagnosedAdapter picks.
CDiagnosisReading ReadDiagnosis(const std::string& adapterName);

// The probes of the readings sent to the target (empty: the default), and
// the report. isCancelled and progress as for RunProbes.
CDiagnosisReport DiagnoseReadings(const CDiagnosisReadings& readings, const std::string& target,
                                  const std::function<bool()>& isCancelled, const ProbeProgress& progress);

}  // namespace vantoric
