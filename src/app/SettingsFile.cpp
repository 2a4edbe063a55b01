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

constexpr char kSourcesSection[] = "Sources";

// A path as a key of the file: the characters that would end the key or
// make its line a comment or a section are written as %XX.
std::string FolderKey(std::string_view folder) {
  std::string key;
  for (const char c : folder) {
    if (c == '%' || c == '=' || c == ';' || c == '[' || c == ']' || c == '"') {
      constexpr char kHex[] = "0123456789ABCDEF";
      key += '%';
      key += kHex[static_cast<unsigned char>(c) >> 4];
      key += kHex[static_cast<unsigned char>(c) & 15];
    } else {
      key += c;
    }
  }
  return key;
}

}  // namespace

std::string StoredFolderUser(const SettingsFile* settings, std::string_view folder) {
  if (!settings) return {};
  std::string value = settings->GetSetting(kSourcesSection, FolderKey(folder));
  return value == kUnknownValue ? std::string() : value;
}

void StoreFolderUser(const SettingsFile* settings, std::string_view folder, std::string_view user) {
  if (settings) settings->SaveSetting(kSourcesSection, FolderKey(folder), std::string(user));
}

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
