#include "readers/ie/IeReaders.h"

#include <windows.h>

#include "core/CookieRules.h"
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
// The site is on the first line, within its first three records; a cookie
// file is a few kilobytes. Reading stops here whatever the file holds.
constexpr size_t kCookieHeadBytes = size_t{1} << 20;

}  // namespace

std::string DefaultIndexDatPath(const TraceSource& source) {
  const std::string cache = source.Folder(TraceFolder::kCache);
  if (cache.empty()) return {};
  return Trim(cache) + "\\Content.IE5\\index.dat";
}

std::string CookieFolder(const TraceSource& source) { return source.Folder(TraceFolder::kCookies); }

ReadOutcome ReadUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress&) {
  // A store that fails leaves the collection empty: the list then shows its
  // columns and a count of 0.
  UrlHistory history(SourceOf(context));
  history.Refresh("http", 0);
  for (const auto& item : history) {
    const std::string url = item->Url();
    const std::string title = item->Title();
    const FILETIME& visited = item->LastVisitedTime();
    const uint64_t ticks = (uint64_t{visited.dwHighDateTime} << 32) | visited.dwLowDateTime;
    // A zero time is one the store never set, not a visit in 1601.
    const CellValue cells[] = {CellValue::Text(url), CellValue::Text(title),
                               ticks == 0 ? CellValue::Text({}) : CellValue::Time(InstantFromFileTime(ticks))};
    rows.AddRow(cells);
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadTypedUrls(const ReadContext& context, RowSink& rows, ReadProgress&) {
  const TraceSource& source = SourceOf(context);
  if (auto names = source.ValueNames(TraceRoot::kUser, kTypedUrls)) {
    for (const std::string& name : *names) {
      if (Trim(name).empty()) continue;
      if (auto value = source.Text(TraceRoot::kUser, kTypedUrls, name)) rows.AddRow(*value);
    }
  }
  return ReadOutcome::kRead;
}

bool ScanCookieFolder(RowSink& rows, ReadProgress& progress, const std::string& folder) {
  const std::wstring wideFolder = Widen(folder);
  WIN32_FIND_DATAW found{};
  UniqueFindHandle find(FindFirstFileW((wideFolder + L"*.*").c_str(), &found));
  if (!find) return true;
  do {
    const std::wstring wideName = found.cFileName;
    if (wideName == L"." || wideName == L"..") continue;
    DWORD attributes = GetFileAttributesW((wideFolder + wideName).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) attributes = found.dwFileAttributes;
    // Folders are skipped whatever other attribute bits they carry (archive,
    // not indexed), not only when the value is 16 to 31.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string name = Narrow(wideName);
    switch (ClassifyCookieEntry(name)) {
      case CookieEntry::kListName: rows.AddRow(name); break;
      case CookieEntry::kReadFile:
        if (auto head = ReadFileHead(folder + name, kCookieHeadBytes)) {
          if (auto site = CookieSiteFromContent(*head)) rows.AddRow(AnsiToUtf8(*site));
        }
        break;
      case CookieEntry::kSkip: break;
    }
    if (!progress.KeepGoing()) return false;
  } while (FindNextFileW(find.get(), &found));
  return true;
}

ReadOutcome ReadCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  // A missing value names no folder.
  const TraceSource& source = SourceOf(context);
  if (const std::string value = CookieFolder(source); !value.empty()) {
    const std::string folder = Trim(value) + "\\";
    if (ScanCookieFolder(rows, progress, folder) && source.WindowsFamily() == "Vista") {
      ScanCookieFolder(rows, progress, folder + "Low\\");
    }
  }
  return ReadOutcome::kRead;
}

}  // namespace tmr
