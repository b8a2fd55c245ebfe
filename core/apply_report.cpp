#include "core/apply_report.h"

#include <nlohmann/json.hpp>

#include "framework/ascii_text.h"

namespace vantoric {

namespace {

using Json = nlohmann::ordered_json;

bool IsSwitch(const std::string& arg) { return !arg.empty() && (arg[0] == '/' || arg[0] == '-'); }

std::string ChangeWords(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::AddAddress: return "add address";
    case ChangeKind::SetAddress: return "set address";
    case ChangeKind::DeleteAddress: return "delete address";
    case ChangeKind::AddDns: return "add dns";
    case ChangeKind::DeleteDns: return "delete dns";
    case ChangeKind::AddRoute: return "add route";
    case ChangeKind::DeleteRoute: return "delete route";
    case ChangeKind::SetRoute: return "set route";
    case ChangeKind::System: return "set system";
    case ChangeKind::SetInterface: return "set interface";
    case ChangeKind::DeleteNeighbors: return "delete neighbors";
  }
  return {};
}

std::string FindingWords(GuardOutcome outcome) {
  switch (outcome) {
    case GuardOutcome::Refuse: return "refusal";
    case GuardOutcome::Warn: return "warning";
    case GuardOutcome::Proceed: break;
  }
  return "note";
}

std::string TypedLine(const CChange& change) { return FormatTypedNetshLine(FormatChangeCommand(change)); }

// netsh's words without the blank lines and blanks around them, CR LF as LF.
std::string Words(const std::string& output) {
  std::string out;
  for (char c : output)
    if (c != '\r') out += c;
  const std::size_t begin = out.find_first_not_of(" \t\n");
  if (begin == std::string::npos) return {};
  return out.substr(begin, out.find_last_not_of(" \t\n") - begin + 1);
}

}  // namespace

CProgramCommand ParseApplyCommand(const std::vector<std::string>& args, std::size_t from) {
  CProgramCommand command;
  command.m_command = ProgramCommand::Apply;
  const auto bad = [&](std::string reason) {
    command.m_command = ProgramCommand::BadApply;
    command.m_strReason = std::move(reason);
    return command;
  };
  for (std::size_t i = from; i < args.size(); ++i) {
    if (!IsSwitch(args[i])) {
      if (!command.m_strFile.empty()) return bad("More than one file name after /apply: " + args[i]);
      command.m_strFile = args[i];
      continue;
    }
    const std::string name = LowerAscii(std::string_view(args[i]).substr(1));
    if (name == "whatif") command.m_bWhatIf = true;
    else if (name == "powershell") command.m_bPowerShell = true;
    else if (name == "json") command.m_bJson = true;
    else if (name == "force") command.m_bForce = true;
    else return bad("Unknown switch after /apply: " + args[i]);
  }
  if (command.m_strFile.empty()) return bad("No file name after /apply.");
  return command;
}

std::string FormatPlanLines(const CApplyPlan& plan, bool bPowerShell) {
  std::string text;
  for (const CChange& change : plan.m_changes)
    text += (bPowerShell ? FormatPowerShellCommand(change) : TypedLine(change)) + "\n";
  return text;
}

std::string FormatPlanFindings(const CApplyPlan& plan) {
  std::string text;
  for (const CPlanFinding& finding : plan.m_findings) {
    const char* label = finding.m_outcome == GuardOutcome::Refuse ? "refused"
                        : finding.m_outcome == GuardOutcome::Warn ? "warning"
                                                                  : "note";
    std::string body = finding.m_strText;
    for (std::size_t at = body.find('\n'); at != std::string::npos; at = body.find('\n', at + 1)) body[at] = ' ';
    text += std::string(label) + ": " + finding.m_strAdapter + ": " + body + "\n";
  }
  return text;
}

std::string FormatPlanJson(const CApplyPlan& plan, const CApplyRun* pRun) {
  Json changes = Json::array();
  for (std::size_t i = 0; i < plan.m_changes.size(); ++i) {
    const CChange& change = plan.m_changes[i];
    Json entry{{"adapter", change.m_strInterface},
               {"change", ChangeWords(change.m_kind)},
               {"target", change.m_strAddress},
               {"netsh", TypedLine(change)},
               {"powershell", FormatPowerShellCommand(change)}};
    if (pRun != nullptr) {
      const bool bRun = i < pRun->m_results.size();
      const std::string words = bRun ? Words(pRun->m_results[i].m_strOutput) : std::string();
      entry["outcome"] = bRun ? DescribeHistoryOutcome(pRun->m_results[i]) : "Not run";
      entry["answer"] = words.empty() ? Json(nullptr) : Json(words);
    }
    changes.push_back(std::move(entry));
  }
  Json findings = Json::array();
  for (const CPlanFinding& finding : plan.m_findings)
    findings.push_back(
        {{"adapter", finding.m_strAdapter}, {"finding", FindingWords(finding.m_outcome)}, {"text", finding.m_strText}});
  Json out{{"changes", std::move(changes)}, {"findings", std::move(findings)}};
  if (pRun != nullptr) out["stopped"] = pRun->m_strStopped.empty() ? Json(nullptr) : Json(pRun->m_strStopped);
  return out.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string FormatRunStep(const CChange& change, const CNetshResult& result) {
  std::string text = TypedLine(change) + "\n  " + DescribeHistoryOutcome(result) + "\n";
  const std::string words = Words(result.m_strOutput);
  std::size_t begin = 0;
  while (!words.empty() && begin <= words.size()) {
    const std::size_t end = std::min(words.find('\n', begin), words.size());
    text += "    " + words.substr(begin, end - begin) + "\n";
    begin = end + 1;
  }
  return text;
}

std::string FormatNotRun(const CChange& change) { return "Not run: " + TypedLine(change) + "\n"; }

std::string FormatRunSummary(const CApplyRun& run, std::size_t planned) {
  const std::size_t ran = run.m_results.size();
  const std::string counts = std::to_string(ran) + " of " + std::to_string(planned);
  const std::string left = std::to_string(planned - ran) + " not run.\n";
  if (!run.m_strStopped.empty())
    return "Stopped after command " + counts + ": " + run.m_strStopped + " Nothing was removed; " + left;
  if (ApplyRunExitCode(run) != APPLY_EXIT_DONE) return "Stopped: command " + counts + " failed; " + left;
  return "Done: " + std::to_string(ran) + (ran == 1 ? " command succeeded.\n" : " commands succeeded.\n");
}

int ApplyRunExitCode(const CApplyRun& run) {
  if (!run.m_strStopped.empty()) return APPLY_EXIT_FAILED;
  for (const CNetshResult& result : run.m_results)
    if (!result.Succeeded()) return APPLY_EXIT_FAILED;
  return APPLY_EXIT_DONE;
}

}  // namespace vantoric
