#include "readers/browsers/BrowserReaders.h"

#include <algorithm>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/LocalTimeText.h"
#include "readers/browsers/SqliteLibrary.h"

namespace tmr {

void RowTexts::AddColumn(const SqliteRow& row, int column) {
  Add(row.View(column, buffers_[std::min(count_, kMaxCells)]));
}

std::string& RowTexts::Buffer() {
  std::string& buffer = buffers_[std::min(count_, kMaxCells)];
  buffer.clear();
  return buffer;
}

void RowTexts::Add(std::string_view text) {
  if (count_ < kMaxCells) views_[count_++] = text;
}

std::size_t ReadRows(const DatabaseQuery& query, const std::function<void(double total)>& onCount,
                     const ShapedRowHandler& onRow) {
  if (query.file.empty() || query.sql.empty() || !query.shape) return 0;
  std::size_t rows = 0;
  try {
    SqliteSession session;
    if (!session.Open(query.file)) return 0;
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
      });
}

void AddChromeTime(RowTexts& out, double microsecondsSince1601) {
  std::string& text = out.Buffer();
  AppendGeneralDateText(text, WebKitTimeToDate(microsecondsSince1601));
  out.Add(text);
}

void AddUnixTime(RowTexts& out, double secondsSince1970) {
  std::string& text = out.Buffer();
  AppendGeneralDateText(text, UnixTimeToDate(secondsSince1970));
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
