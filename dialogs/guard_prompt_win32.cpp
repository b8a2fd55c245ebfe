#include "dialogs/guard_prompt_win32.h"

#include "framework/message_box.h"

namespace vantoric {

bool PassGuard(HWND owner, const CGuardVerdict& verdict, std::string_view caption) {
  switch (verdict.m_outcome) {
    case GuardOutcome::Refuse:
      ShowMessage(owner, verdict.m_strText, MB_OK | MB_ICONERROR, caption);
      return false;
    case GuardOutcome::Warn:
      return ShowMessage(owner, verdict.m_strText, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
    case GuardOutcome::Proceed:
      break;
  }
  return true;
}

}  // namespace vantoric
