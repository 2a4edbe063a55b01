#include "readers/browsers/ActivityReaders.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/ActivityPayload.h"
#include "platform/SharedFile.h"
#include "platform/SystemStrayBytes.h"
#include "readers/browsers/BrowserProfiles.h"
#include "readers/browsers/BrowserReaders.h"
#include "readers/browsers/SqliteLibrary.h"

namespace tmr {
namespace {

constexpr char kActivitySql[] =
    "SELECT AppId, Payload, ActivityType, StartTime, EndTime FROM Activity ORDER BY StartTime, rowid";

CellValue UnixSecondsCell(const SqliteRow& row, int column) {
  // The store writes 0 for an activity that has not ended.
  const std::optional<int64_t> seconds = row.Integer(column);
  constexpr int64_t kMostSeconds = INT64_MAX / kMicrosecondsPerSecond;
  if (!seconds || *seconds <= 0 || *seconds > kMostSeconds) return CellValue::Text({});
  return CellValue::Time(*seconds * kMicrosecondsPerSecond);
}

void ActivityCells(const SqliteRow& row, RowCells& out) {
  const StrayByteTable& stray = SystemStrayBytes();
  std::string scratch;
  std::string& application = out.Buffer();
  application = ActivityApplication(row.View(0, scratch), stray);
  out.Add(application);
  const ActivityPayloadTexts payload = DecodeActivityPayload(row.View(1, scratch), stray);
  std::string& what = out.Buffer();
  what = payload.title;
  // The rows of time a program was in use have no text of their own.
  if (what.empty() && payload.type == "UserEngaged") {
    what = "In use";
    if (payload.activeDurationSeconds) what += " for " + std::to_string(*payload.activeDurationSeconds) + " s";
  }
  out.Add(what);
  out.Add(UnixSecondsCell(row, 3));
  out.Add(UnixSecondsCell(row, 4));
}

}  // namespace

ReadOutcome ReadWindowsTimeline(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const std::string localAppData = SourceOf(context).Folder(TraceFolder::kLocalAppData);
  if (localAppData.empty()) return ReadOutcome::kRead;
  // One folder per account ("L.<name>", "AAD.<id>", a hash for others),
  // in name order so that every source lists them alike.
  const std::string platform = localAppData + "\\" + kActivitiesFolder;
  std::vector<std::string> accounts = ListSubfolders(platform);
  std::sort(accounts.begin(), accounts.end());
  for (const std::string& account : accounts) {
    const std::string file = platform + "\\" + account + "\\ActivitiesCache.db";
    if (!FileExists(file)) continue;
    ReadDatabase({file, kActivitySql, ActivityCells, "", {"Activity"}}, ReadPace::kLive, context, rows, progress);
    if (!progress.KeepGoing()) break;
  }
  return ReadOutcome::kRead;
}

}  // namespace tmr
