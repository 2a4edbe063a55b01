// Which profile a browser uses, from the browser's own lists: Firefox's
// profiles.ini and the "Local State" of a Chromium-family browser. Texts in,
// folders out; nothing here touches a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tmr {

// One [section] of an INI text with its keys in order. Keys and section
// names compare without regard to ASCII letter case.
struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
  std::optional<std::string> Get(std::string_view key) const;
};

// Lines "[name]" and "key=value" (blanks around both trimmed); comments
// (";" or "#") and other lines are skipped.
std::vector<IniSection> ParseIni(std::string_view text);

struct BrowserProfile {
  std::string name;    // as the browser shows it
  std::string folder;  // Firefox: the full path; Chromium: the folder's name under User Data
};

// The profiles profiles.ini lists, in its order, with their folders made
// whole: a relative path (IsRelative=1) is taken from firefoxFolder, its "/"
// read as "\".
std::vector<BrowserProfile> FirefoxProfiles(std::string_view profilesIni, std::string_view firefoxFolder);

// The profile Firefox uses: the Default= of the first [Install...] section;
// without one, the [Profile...] marked Default=1; nullopt when the text names
// neither.
std::optional<std::string> DefaultFirefoxProfile(std::string_view profilesIni, std::string_view firefoxFolder);

// The profiles of a Chromium "Local State" (profile.info_cache: folder name
// and its "name"), in folder-name order; none when the text is no such JSON.
std::vector<BrowserProfile> ChromiumProfiles(std::string_view localState);

}  // namespace tmr
