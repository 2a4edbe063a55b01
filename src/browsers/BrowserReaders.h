// The readers behind the Firefox and Chrome categories, in two halves: the
// store access (one query over one database file, every row converted into
// the texts a list row shows), which the report reuses with its own sink,
// and the filling of the main window's list with progress, Cancel and a
// live window.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ListTarget.h"

namespace tmr {

class SqliteRow;

using Cells = std::vector<std::string>;
using RowShaper = Cells (*)(const SqliteRow&);

// The cells of one row, moved in: a braced list would copy every text.
template <typename... Texts>
Cells MakeCells(Texts&&... texts) {
  Cells cells;
  cells.reserve(sizeof...(Texts));
  (cells.push_back(std::forward<Texts>(texts)), ...);
  return cells;
}
// Takes one row's texts; false stops the read.
using RowSink = std::function<bool(Cells&&)>;

struct ReadRequest {
  std::string file;
  std::string sql;
  RowShaper shape = nullptr;
  std::string countSql;  // "" reads without counting
};

// Opens the file read-only, runs countSql (its number goes to onCount),
// then sql, and hands every shaped row to sink. A missing library, file or
// table, a locked or damaged file, or a function the library lacks end the
// read quietly. Returns the number of rows handed over.
std::size_t ReadRows(const ReadRequest& request, const std::function<void(double total)>& onCount,
                     const RowSink& sink);

enum class ListPace {
  // Count first; the progress dialog with "Records: N" and its Cancel.
  kProgress,
  // No dialog. The window stays live all the same, and a click on another
  // category stops the read.
  kLive,
};

void FillList(ListTarget& list, const ReadRequest& request, ListPace pace);

// Time columns as the lists show them.
std::string ChromeTimeText(double microsecondsSince1601);
std::string UnixTimeText(double secondsSince1970);

// One text column with every "%20" shown as a blank: Chrome's keyword
// searches and Firefox's input history.
Cells SingleColumnCells(const SqliteRow& row);
void ReadSingleColumn(ListTarget& list, const std::string& file, const std::string& sql);

}  // namespace tmr
