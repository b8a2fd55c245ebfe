// What the diagnosis hands on: the report as text (for a ticket) and as
// JSON (for scripts), both with the conclusion, each check with its
// evidence and the adapter's /list reading; the /diagnose command line and
// its exit codes. Portable.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "core/adapter_listing.h"
#include "core/diagnosis.h"

namespace vantoric {

// The exit codes of /diagnose.
constexpr int DIAGNOSE_EXIT_WORKS = 0;
constexpr int DIAGNOSE_EXIT_PROBLEM = 1;  // a problem was found, or nothing could be decided
constexpr int DIAGNOSE_EXIT_BAD = 2;      // a wrong command line or an unknown adapter

// The version of the report's JSON layout.
constexpr int DIAGNOSIS_REPORT_FORMAT = 1;

// The switches after /diagnose; args[from] is the first argument after it.
// Diagnose with the adapter and target given, or BadDiagnose with the reason.
CProgramCommand ParseDiagnoseCommand(const std::vector<std::string>& args, std::size_t from);

// Whether text names a target: a host name (letters, digits, "-", "_" and
// "." between labels, not an IPv4 address) or an IPv6 address.
bool IsDiagnosisTarget(const std::string& text);

// 0 when IPv6 works, 1 otherwise.
int DiagnosisExitCode(const CDiagnosis& diagnosis);

// A time as ISO 8601 in UTC ("2026-12-07T16:40:00Z").
std::string FormatUtcTime(std::time_t time);

// One diagnosis as it is reported.
struct CDiagnosisReport {
  std::string m_strAdapter;
  std::string m_strTarget;
  std::string m_strTargetAddress;  // empty when it was not known
  std::string m_strRunAt;          // FormatUtcTime
  CDiagnosis m_diagnosis;
  std::string m_strListing;  // the adapter's /list JSON
};

// The text: a heading, the adapter, target and time, the conclusion, each
// check ("c. Router: Passed", its evidence and what to do, indented), then
// the /list reading. Lines end in CR LF, as a ticket or a Notepad expects.
std::string FormatDiagnosisText(const CDiagnosisReport& report);

// The JSON (UTF-8, a line end at the end): {"format": 1, "adapter",
// "target", "target_address" (null when not known), "run_at",
// "conclusion", "works", "exit_code", "checks": [{"check" ("adapter",
// "link_local", "router", "global_address", "name_resolution",
// "reachability", "path_mtu", "preference"), "name", "verdict" ("passed",
// "problem", "warning", "not_checked"), "evidence", "action" (null when
// none), "page" (the page of Advanced Settings that does it, or null)}],
// "listing": the /list JSON of the adapter (null when it is not JSON)}.
std::string FormatDiagnosisJson(const CDiagnosisReport& report);

// Save report: the file's kind from its name's extension (.txt or .json, in
// any letter case), else from the filter pair chosen; the extension is
// added to a name that lacks it.
constexpr int REPORT_FILTER_TEXT = 1;
constexpr int REPORT_FILTER_JSON = 2;
struct CReportFile {
  std::string m_strPath;
  bool m_bJson = false;
};
CReportFile ChooseReportFile(const std::string& path, int filterIndex);

}  // namespace vantoric
