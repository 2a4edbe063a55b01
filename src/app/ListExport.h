// The list's rows as text to take out of the program: the clipboard's
// tab-separated lines, and the CSV, tab-separated and HTML files of
// "Export List...". Every form holds a header line, then the rows in the
// order given, each cell as the list shows it (up to its first NUL).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/ListModel.h"

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
};

// The format a file name asks for by its extension: .csv, .tsv or .txt,
// .htm or .html (letter case ignored); nullopt for any other.
std::optional<ExportFormat> ExportFormatOfName(std::string_view fileName);

// The clipboard's text of some shown rows: the header line, then one line
// per row, cells separated by tabs, every line ended by CR LF.
std::string TabSeparatedText(const ListModel& model, std::span<const std::size_t> shownRows);
// The same of every shown row.
std::string TabSeparatedText(const ListModel& model);

// Writes every shown row, in the shown order, in a format; the text comes
// out in pieces of some ten thousand bytes. The title names the page of
// the HTML form.
using ExportSink = std::function<void(std::string_view bytes)>;
void WriteExport(ExportFormat format, const ListModel& model, std::string_view title, const ExportSink& sink);

}  // namespace tmr
