#include "framework/profile.h"

#include <windows.h>

#include "framework/utf8.h"

namespace vantoric {

std::string CProfile::SectionPath(std::string_view section) const {
  std::string path = "Software\\";
  path += m_strRegistryKey;
  path += '\\';
  path += m_strAppName;
  path += '\\';
  path += section;
  return path;
}

int CProfile::GetProfileInt(std::string_view section, std::string_view entry, int nDefault) const {
  DWORD value = 0;
  DWORD size = sizeof value;
  const LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER, Widen(SectionPath(section)).c_str(),
                                  Widen(entry).c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size);
  return rc == ERROR_SUCCESS ? static_cast<int>(value) : nDefault;
}

bool CProfile::WriteProfileInt(std::string_view section, std::string_view entry, int nValue) const {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(SectionPath(section)).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD value = static_cast<DWORD>(nValue);
  const LSTATUS rc = RegSetValueExW(key, Widen(entry).c_str(), 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

}  // namespace vantoric
