#include "readers/browsers/BrowserReaders.h"

#include <algorithm>

#include "core/ProgramState.h"
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

std::size_t ReadRows(const ReadRequest& request, const std::function<void(double total)>& onCount,
                     const RowSink& sink) {
  if (request.file.empty() || request.sql.empty() || !request.shape) return 0;
  std::size_t rows = 0;
  try {
    SqliteSession session;
    if (!session.Open(request.file)) return 0;
    if (!request.countSql.empty()) {
      double total = session.Count(request.countSql);
      if (onCount) onCount(total);
    }
    RowTexts texts;
    session.ForEachRow(request.sql, [&](const SqliteRow& row) {
      ++rows;
      texts.Clear();
      request.shape(row, texts);
      return sink(texts.Views());
    });
  } catch (const BinderError&) {
    // The library lacks a function: the rows so far stay, as after any
    // other failure of the layer.
  }
  return rows;
}

void FillList(ListTarget& list, const ReadRequest& request, ListPace pace) {
  bool dialogShown = false;
  ScopeExit closeDialog([&] {
    if (dialogShown) list.CloseProgress();
  });
  ReadRequest counted = request;
  if (pace != ListPace::kProgress) {
    counted.countSql.clear();
    CancelRequested = false;
  }
  std::size_t added = 0;
  ReadRows(
      counted,
      [&](double total) {
        list.ShowProgress(total);
        dialogShown = true;
        CancelRequested = false;
      },
      [&](std::span<const std::string_view> cells) {
        list.AddRowTexts(cells);
        ++added;
        if (dialogShown) list.SetProgressRecords(added);
        list.DoEvents();
        return !CancelRequested;
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

void ReadSingleColumn(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, SingleColumnCells, ""}, ListPace::kLive);
}

}  // namespace tmr
