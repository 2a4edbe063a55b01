// The settings file "tmere.ini", read and written through the platform's
// private-profile functions: no cache, section and key names match without
// regard to letter case.
#pragma once

#include <string>
#include <string_view>

#include "readers/RowSink.h"

namespace tmr {

class SettingsFile {
 public:
  SettingsFile() = default;
  explicit SettingsFile(std::string file) : path(std::move(file)) {}

  // Full path of the file.
  std::string path;

  // The stored value (at most 254 characters, blanks and enclosing quotes
  // dropped as the platform reads them); "" for a key with an empty value;
  // "unknown value" for a missing key, section or file.
  std::string GetSetting(const std::string& section, const std::string& key) const;

  // Creates file, section and key as needed. Callers ignore the result.
  bool SaveSetting(const std::string& section, const std::string& key, const std::string& value) const;
};

// The browser profiles chosen in the options (keys "ChromeProfile",
// "EdgeProfile" and "FirefoxProfile" of section "general"); a missing key
// is the automatic choice. Null settings choose nothing.
BrowserProfileChoice StoredProfileChoice(const SettingsFile* settings);
void StoreProfileChoice(const SettingsFile& settings, const BrowserProfileChoice& choice);

// The user last chosen for a folder of traces (section "Sources", one key
// per folder); "" when none was. Folders compare without regard to letter
// case, as the file system does.
std::string StoredFolderUser(const SettingsFile* settings, std::string_view folder);
void StoreFolderUser(const SettingsFile* settings, std::string_view folder, std::string_view user);

}  // namespace tmr
