#include "readers/browsers/BrowserReaders.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/LocalTimeText.h"
#include "platform/Processes.h"
#include "platform/SharedFile.h"
#include "platform/WinText.h"
#include "readers/browsers/SqliteLibrary.h"

namespace tmr {

void RowCells::AddColumn(const SqliteRow& row, int column) {
  Add(row.View(column, buffers_[std::min(count_, kMaxCells)]));
}

void RowCells::AddCountColumn(const SqliteRow& row, int column) {
  if (const std::optional<int64_t> count = row.Integer(column)) {
    Add(CellValue::Number(*count));
    return;
  }
  Add(row.View(column, buffers_[std::min(count_, kMaxCells)]));
}

std::string& RowCells::Buffer() {
  std::string& buffer = buffers_[std::min(count_, kMaxCells)];
  buffer.clear();
  return buffer;
}

void RowCells::Add(const CellValue& cell) {
  if (count_ < kMaxCells) cells_[count_++] = cell;
}

namespace {

// A journal with content, or a write-ahead log: the file alone is not the
// store's state, and reading it in place would need write access beside it.
bool HasSideFiles(const std::string& file) {
  return FileLength(file + "-journal").value_or(0) > 0 || FileExists(file + "-wal");
}

// Whether the file can be opened at all beside the program that holds it;
// a browser that opens its store exclusively lets nobody in.
bool CanOpenShared(const std::string& file) {
  UniqueFileHandle handle(CreateFileW(Widen(file).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(handle);
}

// Opens the store in place, or a copy of it with its journal and log in
// `copy` when its browser holds it.
bool OpenStore(SqliteSession& session, const std::string& file, std::optional<TemporaryFolder>& copy) {
  if (!HasSideFiles(file)) {
    if (!session.Open(file)) return false;
    if (!session.Locked()) return true;
  }
  copy.emplace();
  if (!copy->Ready()) return false;
  const std::string copied = copy->Path() + "store.db";
  if (!CopySharedFile(file, copied)) return false;
  for (const char* side : {"-journal", "-wal"}) {
    if (FileExists(file + side)) CopySharedFile(file + side, copied + side);
  }
  return session.OpenCopy(copied);
}

}  // namespace

std::size_t ReadRows(const DatabaseQuery& given, const std::function<void(double total)>& onCount,
                     const ShapedRowHandler& onRow, std::function<bool()> keepGoing) {
  if (given.file.empty() || (given.sql.empty() && !given.fitToFile) || !FileExists(given.file)) return 0;
  if (!CanOpenShared(given.file)) {
    if (given.browserProcess.empty()) return 0;
    // Nothing else can be done: the browser holds the file for itself.
    KillProcessByName(given.browserProcess);
  }
  std::size_t rows = 0;
  try {
    // The copy outlives the session that has it open.
    std::optional<TemporaryFolder> copy;
    SqliteSession session;
    if (keepGoing) session.SetKeepGoing(std::move(keepGoing));
    if (!OpenStore(session, given.file, copy)) return 0;
    DatabaseQuery query = given;
    if (query.fitToFile) query.fitToFile(session, query);
    if (query.sql.empty() || !query.shape) return 0;
    for (const std::string& table : query.tables) {
      if (!session.HasTable(table)) return 0;
    }
    if (!query.countSql.empty()) {
      double total = session.Count(query.countSql);
      if (onCount) onCount(total);
    }
    RowCells cells;
    session.ForEachRow(query.sql, [&](const SqliteRow& row) {
      ++rows;
      cells.Clear();
      query.shape(row, cells);
      return onRow(cells.Cells());
    });
  } catch (const BinderError&) {
    // The library lacks a function: the rows so far stay, as after any
    // other failure of the layer.
  }
  return rows;
}

void ReadDatabase(const DatabaseQuery& query, ReadPace pace, const ReadContext& context, RowSink& rows,
                  ReadProgress& progress) {
  bool dialogShown = false;
  ScopeExit closeDialog([&] {
    if (dialogShown) progress.EndProgress();
  });
  DatabaseQuery counted = query;
  if (pace != ReadPace::kProgress || context.purpose == ReadPurpose::kReport || !context.watched) {
    counted.countSql.clear();
  }
  std::size_t added = 0;
  ReadRows(
      counted,
      [&](double total) {
        progress.BeginProgress(total);
        dialogShown = true;
      },
      [&](std::span<const CellValue> cells) {
        rows.AddRow(cells);
        ++added;
        if (dialogShown) progress.SetProgressRecords(added);
        return progress.KeepGoing();
      },
      [&progress] { return progress.KeepGoing(); });
}

namespace {

CellValue TimeCell(const std::optional<Instant>& instant) {
  return instant ? CellValue::Time(*instant) : CellValue::Text({});
}

}  // namespace

void AddChromeTime(RowCells& out, const SqliteRow& row, int column) {
  if (const std::optional<int64_t> stored = row.Integer(column)) {
    out.Add(TimeCell(InstantFromMicroseconds1601(*stored)));
    return;
  }
  out.Add(TimeCell(InstantFromMicrosecondsValue(row.Number(column), kMicroseconds1601To1970)));
}

void AddUnixTime(RowCells& out, const SqliteRow& row, int column) {
  if (const std::optional<int64_t> stored = row.Integer(column)) {
    // Seconds an instant holds: some 290,000 years either way.
    constexpr int64_t kMostSeconds = INT64_MAX / kMicrosecondsPerSecond;
    const bool fits = *stored <= kMostSeconds && *stored >= -kMostSeconds;
    out.Add(fits ? CellValue::Time(*stored * kMicrosecondsPerSecond) : CellValue::Text({}));
    return;
  }
  out.Add(TimeCell(InstantFromSecondsValue(row.Number(column))));
}

CellValue PRTimeCell(double microsecondsSince1970) {
  if (microsecondsSince1970 == 0) return CellValue::Text({});
  return TimeCell(InstantFromMicrosecondsValue(microsecondsSince1970));
}

void AddPRTime(RowCells& out, const SqliteRow& row, int column) {
  if (const std::optional<int64_t> stored = row.Integer(column)) {
    out.Add(*stored == 0 ? CellValue::Text({}) : CellValue::Time(*stored));
    return;
  }
  out.Add(PRTimeCell(row.Number(column)));
}

void SingleColumnCells(const SqliteRow& row, RowCells& out) {
  std::string& text = out.Buffer();
  std::string_view value = row.View(0, text);
  if (value.find("%20") == std::string_view::npos) {
    out.Add(value);
    return;
  }
  std::string replaced = ReplaceAll(value, "%20", " ");
  text = std::move(replaced);
  out.Add(text);
}

}  // namespace tmr
