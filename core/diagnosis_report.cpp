#include "core/diagnosis_report.h"

#include <nlohmann/json.hpp>

#include "framework/ascii_text.h"

namespace vantoric {

namespace {

using Json = nlohmann::ordered_json;

bool IsSwitchText(const std::string& arg) { return !arg.empty() && (arg[0] == '/' || arg[0] == '-'); }

bool HasExtension(const std::string& path, const char* extension) {
  const std::string lower = LowerAscii(path);
  const std::string end = extension;
  return lower.size() >= end.size() && lower.compare(lower.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool IsDiagnosisTarget(const std::string& text) {
  if (CDiagnosisTarget{text}.IsAddress()) return true;
  if (text.empty() || text.size() > 253 || text.front() == '.' || text.front() == '-') return false;
  bool bLetter = false;
  for (char c : text) {
    const bool bAlpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
    if (!bAlpha && !(c >= '0' && c <= '9') && c != '.') return false;
    bLetter = bLetter || bAlpha;
  }
  return bLetter;
}

namespace {

const char* CheckId(DiagnosisCheck check) {
  static const char* const kIds[DIAGNOSIS_CHECK_COUNT] = {
      "adapter", "link_local", "router", "global_address", "name_resolution", "reachability", "path_mtu", "preference"};
  return kIds[static_cast<std::size_t>(check)];
}

const char* VerdictId(Verdict verdict) {
  switch (verdict) {
    case Verdict::Passed:
      return "passed";
    case Verdict::Problem:
      return "problem";
    case Verdict::Warning:
      return "warning";
    case Verdict::NotChecked:
      return "not_checked";
  }
  return "";
}

Json NullWhenEmpty(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

}  // namespace

CProgramCommand ParseDiagnoseCommand(const std::vector<std::string>& args, std::size_t from) {
  CProgramCommand command;
  command.m_command = ProgramCommand::Diagnose;
  const auto bad = [&](std::string reason) {
    command.m_command = ProgramCommand::BadDiagnose;
    command.m_strReason = std::move(reason);
    return command;
  };
  for (std::size_t i = from; i < args.size(); ++i) {
    if (!IsSwitchText(args[i])) {
      if (!command.m_strAdapter.empty()) return bad("More than one adapter after /diagnose: " + args[i]);
      command.m_strAdapter = args[i];
      continue;
    }
    const std::string name = LowerAscii(std::string_view(args[i]).substr(1));
    if (name == "json") {
      command.m_bJson = true;
    } else if (name == "target") {
      if (i + 1 >= args.size() || IsSwitchText(args[i + 1])) return bad("No host after /target.");
      if (!command.m_strTarget.empty()) return bad("More than one /target after /diagnose.");
      command.m_strTarget = args[++i];
      if (!IsDiagnosisTarget(command.m_strTarget))
        return bad("The target is neither a host name nor an IPv6 address: " + command.m_strTarget);
    } else {
      return bad("Unknown switch after /diagnose: " + args[i]);
    }
  }
  return command;
}

int DiagnosisExitCode(const CDiagnosis& diagnosis) {
  return diagnosis.Works() ? DIAGNOSE_EXIT_WORKS : DIAGNOSE_EXIT_PROBLEM;
}

std::string FormatUtcTime(std::time_t time) {
  const std::tm* pTime = std::gmtime(&time);
  char text[32] = {};
  if (pTime == nullptr || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", pTime) == 0) return {};
  return text;
}

std::string FormatDiagnosisText(const CDiagnosisReport& report) {
  constexpr char kEnd[] = "\r\n";
  std::string text = std::string("Vantoric IPv6 diagnosis") + kEnd;
  text += "Adapter: " + report.m_strAdapter + kEnd;
  text += "Target: " + report.m_strTarget;
  if (!report.m_strTargetAddress.empty() && report.m_strTargetAddress != report.m_strTarget)
    text += " (" + report.m_strTargetAddress + ")";
  text += kEnd;
  text += "Run at: " + report.m_strRunAt + kEnd;
  text += "Conclusion: " + report.m_diagnosis.m_strConclusion + kEnd;
  for (const CCheckResult& check : report.m_diagnosis.m_checks) {
    text += kEnd + DiagnosisCheckName(check.m_check) + ": " + VerdictText(check.m_verdict) + kEnd;
    text += "   " + check.m_strEvidence + kEnd;
    if (!check.m_strAction.empty()) text += "   What to do: " + check.m_strAction + kEnd;
  }
  if (!report.m_strListing.empty()) {
    text += std::string(kEnd) + "Reading of the adapter (vantoric /list):" + kEnd;
    for (const char c : report.m_strListing) {
      if (c == '\n')
        text += kEnd;
      else
        text += c;
    }
  }
  return text;
}

std::string FormatDiagnosisJson(const CDiagnosisReport& report) {
  Json checks = Json::array();
  for (const CCheckResult& check : report.m_diagnosis.m_checks) {
    const std::string page = FixPageTitle(check.m_fix);
    checks.push_back(Json{{"check", CheckId(check.m_check)},
                          {"name", DiagnosisCheckName(check.m_check)},
                          {"verdict", VerdictId(check.m_verdict)},
                          {"evidence", check.m_strEvidence},
                          {"action", NullWhenEmpty(check.m_strAction)},
                          {"page", NullWhenEmpty(page)}});
  }
  Json listing = Json::parse(report.m_strListing, nullptr, false);
  if (listing.is_discarded()) listing = nullptr;
  const Json root{{"format", DIAGNOSIS_REPORT_FORMAT},
                  {"adapter", report.m_strAdapter},
                  {"target", report.m_strTarget},
                  {"target_address", NullWhenEmpty(report.m_strTargetAddress)},
                  {"run_at", report.m_strRunAt},
                  {"conclusion", report.m_diagnosis.m_strConclusion},
                  {"works", report.m_diagnosis.Works()},
                  {"exit_code", DiagnosisExitCode(report.m_diagnosis)},
                  {"checks", checks},
                  {"listing", listing}};
  return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

CReportFile ChooseReportFile(const std::string& path, int filterIndex) {
  if (HasExtension(path, ".json")) return {path, true};
  if (HasExtension(path, ".txt")) return {path, false};
  const bool bJson = filterIndex == REPORT_FILTER_JSON;
  return {path + (bJson ? ".json" : ".txt"), bJson};
}

}  // namespace vantoric
