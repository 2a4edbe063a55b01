#include "app/SettingsFile.h"

#include <windows.h>

#include "app/StartupSettings.h"
#include "platform/WinText.h"

namespace tmr {

std::string SettingsFile::GetSetting(const std::string& section, const std::string& key) const {
  wchar_t buffer[255] = {};
  std::wstring fallback = Widen(kUnknownValue);
  DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), fallback.c_str(), buffer, 255,
                                     Widen(path).c_str());
  return Narrow(std::wstring(buffer, n));
}

bool SettingsFile::SaveSetting(const std::string& section, const std::string& key, const std::string& value) const {
  return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                    Widen(path).c_str()) != FALSE;
}

}  // namespace tmr
