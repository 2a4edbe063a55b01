// Rows as files to take out of the program: CSV, tab-separated text, an
// HTML table and JSON Lines. The writer is a row sink, so the list's rows
// and a reader's rows straight from the store are written alike, a piece of
// some sixty thousand bytes at a time.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/CellValue.h"
#include "readers/RowSink.h"

namespace tmr {

enum class ExportFormat {
  // UTF-8 with a byte-order mark, fields quoted as RFC 4180 asks (those
  // holding a comma, a quote, CR or LF; quotes doubled), CR LF after
  // every line.
  kCsv,
  // UTF-8 with a byte-order mark, cells separated by tabs, CR LF. A tab or
  // line break inside a cell becomes a space, so each row stays one line.
  kTabSeparated,
  // A UTF-8 page with one table, every value escaped, and a policy that
  // lets no script run.
  kHtml,
  // UTF-8, one JSON object per row and line (LF), each column by its
  // header: texts as strings, numbers as numbers, times as ISO 8601 in UTC
  // with a "Z" (null outside the years 1..9999).
  kJsonLines,
  // The timeline for a timeline server's import: the columns message,
  // datetime (ISO 8601 with its offset), timestamp_desc (what the time
  // means), timestamp (microseconds since 1970), then category, item and
  // details; as CSV (UTF-8, no byte-order mark, LF) or as JSON Lines with
  // the same fields. The rows are the timeline's (TimelineColumn).
  kTimesketchCsv,
  kTimesketchJsonLines,
};

// The format a file name asks for by its extension: .csv, .tsv or .txt,
// .htm or .html, .jsonl (letter case ignored); nullopt for any other.
std::optional<ExportFormat> ExportFormatOfName(std::string_view fileName);

// Takes each piece as it is full, and at the end what is left. A sink may
// take the piece's bytes away whole (swap the string out, handing back any
// other); the writer goes on in an emptied string either way.
using ExportSink = std::function<void(std::string& piece)>;

// Every cell as the list shows it (up to its first NUL), by the cell
// format; JSON Lines writes values, not texts.
class ExportWriter final : public RowSink {
 public:
  static constexpr std::size_t kPieceBytes = 1 << 16;
  ExportWriter(ExportFormat format, std::vector<std::string> headers, const CellFormat& cellFormat, ExportSink sink,
               std::size_t pieceBytes = kPieceBytes);
  // The byte-order mark or the page's start (titled), and the header line.
  void Begin(std::string_view title);
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue> cells) override;
  // The page's end; everything still held goes to the sink.
  void End();

 private:
  void AppendStart(std::string_view title);
  void WriteTextLine(std::span<const CellValue> cells);
  void AppendHtmlLine(std::span<const CellValue> cells);
  void AppendJsonLine(std::span<const CellValue> cells);
  void AppendTimesketchLine(std::span<const CellValue> cells);
  std::size_t PieceRoom() const;
  void HandPiece();

  ExportFormat format_;
  std::vector<std::string> headers_;
  const CellFormat& cellFormat_;
  ExportSink sink_;
  std::size_t pieceBytes_;
  // The piece's first filled_ bytes are written; CSV and tab-separated
  // rows are written in place past them, the string being longer.
  std::string piece_;
  std::size_t filled_ = 0;
  std::string scratch_;
  // Where each time's text ends in the scratch.
  std::vector<std::size_t> timeEnds_;
};

}  // namespace tmr
