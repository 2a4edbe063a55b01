#include "browsers/BrowserReaders.h"

#include <algorithm>

#include "browsers/MSQLite.h"
#include "common/ModCovert.h"
#include "common/ProgramState.h"
#include "common/TextUtil.h"
#include "platform/Handles.h"

namespace tmr {

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
    session.ForEachRow(request.sql, [&](const SqliteRow& row) {
      ++rows;
      return sink(request.shape(row));
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
      [&](Cells&& cells) {
        std::string_view views[8];
        const std::size_t n = std::min<std::size_t>(cells.size(), 8);
        for (std::size_t i = 0; i < n; ++i) views[i] = cells[i];
        list.AddRowTexts(std::span<const std::string_view>(views, n));
        ++added;
        if (dialogShown) list.SetProgressRecords(added);
        list.DoEvents();
        return !CancelRequested;
      });
}

std::string ChromeTimeText(double microsecondsSince1601) {
  return GeneralDateText(WebKitTimeToDate(microsecondsSince1601));
}

std::string UnixTimeText(double secondsSince1970) { return GeneralDateText(UnixTimeToDate(secondsSince1970)); }

Cells SingleColumnCells(const SqliteRow& row) { return MakeCells(ReplaceAll(row.Text(0), "%20", " ")); }

void ReadSingleColumn(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, SingleColumnCells, ""}, ListPace::kLive);
}

}  // namespace tmr
