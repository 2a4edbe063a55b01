#include "readers/browsers/BrowserReaders.h"

#include <algorithm>
#include <optional>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/LocalTimeText.h"
#include "platform/Processes.h"
#include "platform/SharedFile.h"
#include "platform/WinText.h"
#include "readers/browsers/SqliteLibrary.h"

namespace tmr {

void RowTexts::AddColumn(const SqliteRow& row, int column) {
  Add(row.View(column, buffers_[std::min(count_, kMaxCells)]));
}

void RowTexts::AddCountColumn(const SqliteRow& row, int column) {
  Add(row.CountView(column, buffers_[std::min(count_, kMaxCells)]));
}

std::string& RowTexts::Buffer() {
  std::string& buffer = buffers_[std::min(count_, kMaxCells)];
  buffer.clear();
  return buffer;
}

void RowTexts::Add(std::string_view text) {
  if (count_ < kMaxCells) views_[count_++] = text;
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
    RowTexts texts;
    session.ForEachRow(query.sql, [&](const SqliteRow& row) {
      ++rows;
      texts.Clear();
      query.shape(row, texts);
      return onRow(texts.Views());
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
  if (pace != ReadPace::kProgress || context.purpose == ReadPurpose::kReport) counted.countSql.clear();
  std::size_t added = 0;
  ReadRows(
      counted,
      [&](double total) {
        progress.BeginProgress(total);
        dialogShown = true;
      },
      [&](std::span<const std::string_view> cells) {
        rows.AddRow(cells);
        ++added;
        if (dialogShown) progress.SetProgressRecords(added);
        return progress.KeepGoing();
      },
      [&progress] { return progress.KeepGoing(); });
}

void AddChromeTime(RowTexts& out, double microsecondsSince1601) {
  std::string& text = out.Buffer();
  AppendEpochDateText(text, microsecondsSince1601 / 1000000.0, 1601);
  out.Add(text);
}

void AddUnixTime(RowTexts& out, double secondsSince1970) {
  std::string& text = out.Buffer();
  AppendEpochDateText(text, secondsSince1970, 1970);
  out.Add(text);
}

void AddPRTime(RowTexts& out, double microsecondsSince1970) {
  std::string& text = out.Buffer();
  AppendPRTimeText(text, microsecondsSince1970);
  out.Add(text);
}

void SingleColumnCells(const SqliteRow& row, RowTexts& out) {
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
