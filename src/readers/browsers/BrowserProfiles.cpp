#include "readers/browsers/BrowserProfiles.h"

#include <windows.h>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/Registry.h"
#include "platform/SharedFile.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr uint32_t kDirectoryNotIndexed = 8208;  // FILE_ATTRIBUTE_DIRECTORY | NOT_CONTENT_INDEXED

}  // namespace

bool IsListedFolderAttribute(uint32_t attributes) {
  return (attributes >= 16 && attributes <= 31) || attributes == kDirectoryNotIndexed;
}

std::vector<std::string> ListSubfolders(const std::string& path) {
  std::string folder = path;
  if (!EndsWith(folder, "\\")) folder += '\\';
  std::vector<std::string> names;
  WIN32_FIND_DATAW data{};
  UniqueFindHandle find(FindFirstFileW(Widen(folder + "*.*").c_str(), &data));
  if (!find) return names;
  do {
    std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..") continue;
    if (IsListedFolderAttribute(data.dwFileAttributes)) names.push_back(Narrow(name));
  } while (FindNextFileW(find.get(), &data));
  return names;
}

namespace {

// profiles.ini and Local State are a few kilobytes; anything this large is
// not one.
constexpr size_t kMaxListBytes = size_t{4} << 20;

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

const char* ChromiumProcessName(ChromiumBrowser browser) {
  return browser == ChromiumBrowser::kEdge ? "msedge.exe" : "chrome.exe";
}

std::string ChromiumUserDataFolder(ChromiumBrowser browser, const TraceSource& source) {
  const std::string local = source.Folder(TraceFolder::kLocalAppData);
  if (local.empty()) return {};
  return local + (browser == ChromiumBrowser::kEdge ? "\\Microsoft\\Edge\\User Data" : "\\Google\\Chrome\\User Data");
}

std::string ChromiumProfileFolder(ChromiumBrowser browser, std::string_view chosen, const TraceSource& source) {
  const std::string userData = ChromiumUserDataFolder(browser, source);
  if (userData.empty()) return {};
  if (!chosen.empty()) return userData + "\\" + std::string(chosen);
  return userData + (browser == ChromiumBrowser::kEdge ? "\\Default" : "\\default");
}

std::vector<BrowserProfile> ListChromiumProfiles(ChromiumBrowser browser, const TraceSource& source) {
  const std::string userData = ChromiumUserDataFolder(browser, source);
  if (userData.empty()) return {};
  auto localState = ReadWholeFile(userData + "\\Local State", kMaxListBytes);
  return localState ? ChromiumProfiles(*localState) : std::vector<BrowserProfile>{};
}

std::string FirefoxFolder(const TraceSource& source) {
  const std::string appData = source.Folder(TraceFolder::kAppData);
  return appData.empty() ? std::string() : appData + "\\Mozilla\\Firefox";
}

std::string FirefoxProfileFolder(std::string_view chosen, const TraceSource& source) {
  const std::string firefox = FirefoxFolder(source);
  if (firefox.empty()) return {};
  if (!chosen.empty() && FolderExists(std::string(chosen))) return std::string(chosen);
  if (auto ini = ReadWholeFile(firefox + "\\profiles.ini", kMaxListBytes)) {
    if (auto folder = DefaultFirefoxProfile(*ini, firefox)) return *folder;
  }
  const std::string profiles = firefox + "\\Profiles\\";
  std::vector<std::string> names = ListSubfolders(profiles);
  if (names.empty() || names.front().empty()) return {};
  return profiles + names.front();
}

std::vector<BrowserProfile> ListFirefoxProfiles(const TraceSource& source) {
  const std::string firefox = FirefoxFolder(source);
  if (firefox.empty()) return {};
  auto ini = ReadWholeFile(firefox + "\\profiles.ini", kMaxListBytes);
  return ini ? FirefoxProfiles(*ini, firefox) : std::vector<BrowserProfile>{};
}

}  // namespace tmr
