#include "readers/browsers/BrowserProfiles.h"

#include <windows.h>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/Registry.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
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

std::string FirefoxProfileFolder() {
  std::optional<std::string> appData = ReadRegistryText(HKEY_CURRENT_USER, kShellFolders, "AppData");
  if (!appData) return {};
  std::string profiles = *appData + "\\Mozilla\\Firefox\\Profiles\\";
  std::vector<std::string> names = ListSubfolders(profiles);
  if (names.empty() || names.front().empty()) return {};
  return profiles + names.front();
}

std::string ChromeProfileFolder() {
  std::optional<std::string> local = ReadRegistryText(HKEY_CURRENT_USER, kShellFolders, "Local AppData");
  if (!local) return {};
  return *local + "\\Google\\Chrome\\User Data\\default";
}

}  // namespace tmr
