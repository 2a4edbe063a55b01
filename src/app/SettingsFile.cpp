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

namespace {

constexpr char kChromeProfileKey[] = "ChromeProfile";
constexpr char kEdgeProfileKey[] = "EdgeProfile";
constexpr char kFirefoxProfileKey[] = "FirefoxProfile";

std::string Stored(const SettingsFile& settings, const char* key) {
  std::string value = settings.GetSetting("general", key);
  return value == kUnknownValue ? std::string() : value;
}

}  // namespace

BrowserProfileChoice StoredProfileChoice(const SettingsFile* settings) {
  if (!settings) return {};
  return {Stored(*settings, kChromeProfileKey), Stored(*settings, kEdgeProfileKey),
          Stored(*settings, kFirefoxProfileKey)};
}

void StoreProfileChoice(const SettingsFile& settings, const BrowserProfileChoice& choice) {
  settings.SaveSetting("general", kChromeProfileKey, choice.chrome);
  settings.SaveSetting("general", kEdgeProfileKey, choice.edge);
  settings.SaveSetting("general", kFirefoxProfileKey, choice.firefox);
}

}  // namespace tmr
