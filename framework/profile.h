// Per-user profile integers, kept in the registry as
// HKCU\Software\<registry key>\<application name>\<section>\<entry> (REG_DWORD).
#pragma once

// windows.h names GetProfileInt/WriteProfileInt as macros; including it here
// keeps the member names the same in every file.
#include <windows.h>

#include <string>
#include <string_view>

namespace vantoric {

class CProfile {
 public:
  CProfile() = default;
  CProfile(std::string registryKey, std::string appName)
      : m_strRegistryKey(std::move(registryKey)), m_strAppName(std::move(appName)) {}

  void SetRegistryKey(std::string_view registryKey) { m_strRegistryKey = registryKey; }
  void SetAppName(std::string_view appName) { m_strAppName = appName; }
  const std::string& GetRegistryKey() const { return m_strRegistryKey; }
  const std::string& GetAppName() const { return m_strAppName; }

  // Path below HKCU of a section: "Software\<key>\<app>\<section>".
  std::string SectionPath(std::string_view section) const;

  // The stored integer, or nDefault when the value is missing or not a DWORD.
  int GetProfileInt(std::string_view section, std::string_view entry, int nDefault) const;
  // False when the registry refused the write.
  bool WriteProfileInt(std::string_view section, std::string_view entry, int nValue) const;

 private:
  std::string m_strRegistryKey;
  std::string m_strAppName;
};

}  // namespace vantoric
