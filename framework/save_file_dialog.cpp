#include "framework/save_file_dialog.h"

#include <commdlg.h>

#include "framework/message_box.h"
#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {

DWORD AskFileToSave(HWND owner, const CSaveFileRequest& request, CSaveFileChoice& choice) {
  choice = {};
  using GetSaveFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto pfnGetSaveFileName = GetSystemFunction<GetSaveFileNameFn>(L"comdlg32.dll", "GetSaveFileNameW");
  if (pfnGetSaveFileName == nullptr) return ::GetLastError();
  std::wstring file(32768, L'\0');
  file.replace(0, request.m_strProposed.size(), request.m_strProposed);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = request.m_pFilter;
  ofn.nFilterIndex = static_cast<DWORD>(request.m_nFilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = request.m_pDefaultExtension;
  // The overwrite question comes from ConfirmReplace, once the caller has
  // put the extension on the name.
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!pfnGetSaveFileName(&ofn)) return 0;  // cancelled
  choice.m_strPath = Narrow(file.c_str());
  choice.m_nFilterIndex = static_cast<int>(ofn.nFilterIndex);
  return 0;
}

bool ConfirmReplace(HWND owner, const std::string& path, const char* caption) {
  return ::GetFileAttributesW(Widen(path).c_str()) == INVALID_FILE_ATTRIBUTES ||
         ShowMessage(owner, path + " already exists.\nDo you want to replace it?",
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, caption) == IDYES;
}

}  // namespace vantoric
