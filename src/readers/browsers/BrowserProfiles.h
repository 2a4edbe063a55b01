// Where the browsers keep the current user's profiles, from the user's shell
// folders and the browsers' own lists of profiles. Nothing is created and
// nobody is asked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/BrowserProfileLists.h"
#include "readers/TraceSource.h"

namespace tmr {

enum class ChromiumBrowser { kChrome, kEdge };

// "chrome.exe", "msedge.exe": the process that holds the browser's files.
const char* ChromiumProcessName(ChromiumBrowser browser);

// The browser's "User Data" folder; "" when the user has no local
// application data folder.
std::string ChromiumUserDataFolder(ChromiumBrowser browser, const TraceSource& source = LiveTraceSource());

// The profile folder: the chosen one (a folder name under User Data), or
// without a choice "Default" (Chrome's spelt "default", as it always was);
// no trailing "\". "" without a User Data folder.
std::string ChromiumProfileFolder(ChromiumBrowser browser, std::string_view chosen,
                                  const TraceSource& source = LiveTraceSource());

// The profiles the browser's "Local State" lists.
std::vector<BrowserProfile> ListChromiumProfiles(ChromiumBrowser browser,
                                                 const TraceSource& source = LiveTraceSource());

// Firefox's own folder under the roaming application data: it holds
// profiles.ini and, usually, the Profiles folder.
std::string FirefoxFolder(const TraceSource& source = LiveTraceSource());

// The Firefox profile to read: the chosen folder when it is there; else the
// one profiles.ini names as in use; else the first folder of Profiles in the
// order the file system lists them. "" when there is none.
std::string FirefoxProfileFolder(std::string_view chosen, const TraceSource& source = LiveTraceSource());

// The profiles profiles.ini lists.
std::vector<BrowserProfile> ListFirefoxProfiles(const TraceSource& source = LiveTraceSource());

// The names of the subfolders of path, in the order the file system lists
// them; none for a folder that cannot be read.
std::vector<std::string> ListSubfolders(const std::string& path);

// The attribute rule of ListSubfolders: a folder with at most read-only,
// hidden, system and volume besides, or with exactly not-content-indexed.
// Any other bit (archive, compressed, encrypted ...) leaves it out.
bool IsListedFolderAttribute(uint32_t attributes);

}  // namespace tmr
