// What the Firefox and Chrome readers share: one query over one database
// file, every row converted into the texts a list row shows and handed to
// the rows' sink, with progress, Cancel and a live window.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "readers/RowSink.h"

namespace tmr {

class SqliteRow;
class SqliteSession;

// The cells of one shaped row, valid until the row is shaped again. A text
// that needs no conversion points straight into SQLite's copy of the
// value; any other is written into a buffer the row keeps from one row to
// the next, so a read of 100,000 rows makes no allocation per row.
class RowCells {
 public:
  static constexpr std::size_t kMaxCells = 8;

  void Clear() { count_ = 0; }
  // A cell of the column's text (decoded as the layer reads text).
  void AddColumn(const SqliteRow& row, int column);
  // A column of counts: a number where the store holds an integer, its
  // text otherwise.
  void AddCountColumn(const SqliteRow& row, int column);
  // The buffer of the next cell, emptied; pass it to Add when written.
  std::string& Buffer();
  // A cell; a text must live until the row is shaped again. Cells past
  // kMaxCells are dropped.
  void Add(std::string_view text) { Add(CellValue::Text(text)); }
  void Add(const CellValue& cell);

  std::span<const CellValue> Cells() const { return {cells_.data(), count_}; }

 private:
  std::array<CellValue, kMaxCells> cells_{};
  // One more than cells: a cell past the last is written into the spare
  // and dropped, leaving the kept cells' texts alone.
  std::array<std::string, kMaxCells + 1> buffers_{};
  std::size_t count_ = 0;
};

// Turns the row a query stands on into the cells of one list row.
using RowShaper = void (*)(const SqliteRow&, RowCells&);
// Takes one row's cells, valid only during the call; false stops the read.
using ShapedRowHandler = std::function<bool(std::span<const CellValue>)>;

struct DatabaseQuery {
  DatabaseQuery() = default;
  DatabaseQuery(std::string queryFile, std::string querySql, RowShaper queryShape, std::string queryCountSql,
                std::vector<std::string> queryTables)
      : file(std::move(queryFile)),
        sql(std::move(querySql)),
        shape(queryShape),
        countSql(std::move(queryCountSql)),
        tables(std::move(queryTables)) {}

  std::string file;
  std::string sql;
  RowShaper shape = nullptr;
  std::string countSql;  // "" reads without counting
  // The tables the queries read. Each must be a table of the file: a store
  // may call a view by the name, and a view can run without end.
  std::vector<std::string> tables;
  // The browser that holds the file; it is ended only when the file cannot
  // be opened at all ("" ends nothing).
  std::string browserProcess;
  // Fits sql, shape and countSql to the tables and columns the open file
  // has, for stores whose shape changed over the browser's versions.
  std::function<void(SqliteSession&, DatabaseQuery&)> fitToFile;
};

// Runs countSql (its number goes to onCount), then sql, and hands every
// shaped row to onRow. No store is changed: a file nobody holds is read
// read-only; one that its browser holds (a lock, a journal or log beside
// it) is read from a private copy with its journal and log, so a
// half-written transaction rolls back in the copy; one that cannot be
// opened at all has its browser ended first. A missing library, file or
// table, a damaged file, or a function the library lacks end the read
// quietly. Returns the number of rows handed over.
// keepGoing, when given, is asked between steps of the database too, so a
// query that runs long without a row can be stopped.
std::size_t ReadRows(const DatabaseQuery& query, const std::function<void(double total)>& onCount,
                     const ShapedRowHandler& onRow, std::function<bool()> keepGoing = nullptr);

enum class ReadPace {
  // Count first; the progress dialog with "Records: N" and its Cancel.
  kProgress,
  // No dialog. The window stays live all the same, and a click on another
  // category stops the read.
  kLive,
};

// Reads the query's rows into the sink. The report reads every store at
// the live pace, without counting first.
void ReadDatabase(const DatabaseQuery& query, ReadPace pace, const ReadContext& context, RowSink& rows,
                  ReadProgress& progress);

// Time cells of a column: Chrome's microseconds since 1601 (zero is 1601
// itself), Unix seconds, and Firefox's microseconds since 1970 (none for
// zero). An integer is taken exactly; a real or a text by its leading
// number. A value no instant holds gives an empty cell.
void AddChromeTime(RowCells& out, const SqliteRow& row, int column);
void AddUnixTime(RowCells& out, const SqliteRow& row, int column);
void AddPRTime(RowCells& out, const SqliteRow& row, int column);
// The same for a PRTime value worked out by the reader.
CellValue PRTimeCell(double microsecondsSince1970);

// One text column with every "%20" shown as a blank: Chrome's keyword
// searches and Firefox's input history.
void SingleColumnCells(const SqliteRow& row, RowCells& out);

}  // namespace tmr
