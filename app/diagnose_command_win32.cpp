#include "app/diagnose_command_win32.h"

#include <string>

#include "core/diagnosis_reading_win32.h"
#include "framework/message_box.h"

namespace vantoric {

int RunDiagnoseCommand(const CProgramCommand& command, const CApplyOutput& output) {
  if (command.m_command == ProgramCommand::BadDiagnose) {
    output.m_err("vantoric: " + command.m_strReason + "\n\n" + ProgramUsage());
    return DIAGNOSE_EXIT_BAD;
  }
  const CDiagnosisReading reading = ReadDiagnosis(command.m_strAdapter);
  switch (reading.m_state) {
    case DiagnosisReadState::Read:
      break;
    case DiagnosisReadState::AdaptersUnread:
      output.m_err("vantoric: the network adapters could not be read: " + GetSystemMessage(reading.m_nError) + "\n");
      return DIAGNOSE_EXIT_PROBLEM;
    case DiagnosisReadState::NoAdapter:
      output.m_err("vantoric: this machine has no network adapter.\n");
      return DIAGNOSE_EXIT_PROBLEM;
    case DiagnosisReadState::UnknownAdapter: {
      std::string names;
      for (const std::string& name : reading.m_names) names += (names.empty() ? "" : ", ") + name;
      output.m_err("vantoric: no adapter is named " + command.m_strAdapter + ". The adapters: " + names + "\n");
      return DIAGNOSE_EXIT_BAD;
    }
  }
  const CDiagnosisReport report = DiagnoseReadings(reading.m_readings, command.m_strTarget, nullptr, nullptr);
  output.m_out(command.m_bJson ? FormatDiagnosisJson(report) : FormatDiagnosisText(report));
  return DiagnosisExitCode(report.m_diagnosis);
}

}  // namespace vantoric
