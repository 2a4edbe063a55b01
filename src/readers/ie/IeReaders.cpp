#include "readers/ie/IeReaders.h"

#include <windows.h>

#include "core/CookieRules.h"
#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/LocalTimeText.h"
#include "platform/Registry.h"
#include "platform/SharedFile.h"
#include "platform/WinText.h"
#include "readers/ie/UrlHistory.h"

namespace tmr {
namespace {

constexpr char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The site is on the first line, within its first three records; a cookie
// file is a few kilobytes. Reading stops here whatever the file holds.
constexpr size_t kCookieHeadBytes = size_t{1} << 20;

}  // namespace

std::string DefaultIndexDatPath() {
  std::string cache = GetRegText(HKEY_CURRENT_USER, kShellFolders, "Cache");
  if (cache == kRegError) return {};
  return Trim(cache) + "\\Content.IE5\\index.dat";
}

void ShowUrlHistory(ListTarget& list, UrlHistory& history) {
  list.SetPanel(1, "Double Cilck to view");
  list.SetListKind("cache");
  // A store that fails leaves the collection empty: the list then shows its
  // columns and a count of 0.
  history.Refresh("http", 0);
  list.ClearList();
  list.AddColumn("URL", 5000);
  list.AddColumn("Title", 5000);
  list.AddColumn("Last Visited", 2000);
  list.SetListVisible(false);
  for (const auto& item : history) {
    list.AddRow({item->URL(), item->Title(), GeneralDateText(item->LastVisited())});
  }
  list.SetListVisible(true);
  ShowRecordCount(list);
}

void ShowTypedUrls(ListTarget& list) {
  list.SetPanel(1, "Double Cilck to view");
  list.SetListKind("url");
  list.ClearList();
  list.AddColumn("URLs", 4000);
  std::string names = ListRegValueNames(HKEY_CURRENT_USER, kTypedUrls);
  if (names != kRegError) {
    for (const std::string& name : Split(names, ",")) {
      if (Trim(name).empty()) continue;
      std::string value = GetRegText(HKEY_CURRENT_USER, kTypedUrls, name);
      if (value != kRegError) list.AddRow({value});
    }
  }
  // Also when the key is missing or empty: the count of the category shown
  // before must not stay on show.
  ShowRecordCount(list);
}

void ScanCookieFolder(ListTarget& list, const std::string& folder) {
  const std::wstring wideFolder = Widen(folder);
  WIN32_FIND_DATAW found{};
  UniqueFindHandle find(FindFirstFileW((wideFolder + L"*.*").c_str(), &found));
  if (!find) return;
  do {
    const std::wstring wideName = found.cFileName;
    if (wideName == L"." || wideName == L"..") continue;
    DWORD attributes = GetFileAttributesW((wideFolder + wideName).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) attributes = found.dwFileAttributes;
    // Folders are skipped whatever other attribute bits they carry (archive,
    // not indexed), not only when the value is 16 to 31.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    list.DoEvents();
    const std::string name = Narrow(wideName);
    switch (ClassifyCookieEntry(name)) {
      case CookieEntry::kListName: list.AddRow({name}); break;
      case CookieEntry::kReadFile:
        if (auto head = ReadFileHead(folder + name, kCookieHeadBytes)) {
          if (auto site = CookieSiteFromContent(*head)) list.AddRow({AnsiToUtf8(*site)});
        }
        break;
      case CookieEntry::kSkip: break;
    }
    list.DoEvents();
  } while (FindNextFileW(find.get(), &found));
}

void ShowCookies(ListTarget& list) {
  list.SetPanel(1, "Double click to view cookie folder");
  list.SetListKind("cookies");
  list.ClearList();
  list.AddColumn("Cookies", 6000);
  std::string value = GetRegText(HKEY_CURRENT_USER, kShellFolders, "Cookies");
  list.SetListVisible(false);
  // A missing value names no folder (the sentinel is not a path).
  if (value != kRegError) {
    const std::string folder = Trim(value) + "\\";
    ScanCookieFolder(list, folder);
    if (OsVersion == "Vista") ScanCookieFolder(list, folder + "Low\\");
  }
  list.SetListVisible(true);
  ShowRecordCount(list);
}

}  // namespace tmr
