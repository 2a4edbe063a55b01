// The list's rows as text to take out of the program: the clipboard's
// tab-separated lines, and the files of "Export List..." (ExportWriter.h).
// Every form holds a header line, then the rows in the order given, each
// cell as the list shows it (up to its first NUL).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "app/ListModel.h"
#include "report/ExportWriter.h"

namespace tmr {

// The clipboard's text of some shown rows: the header line, then one line
// per row, cells separated by tabs, every line ended by CR LF.
std::string TabSeparatedText(const ListModel& model, std::span<const std::size_t> shownRows);
// The same of every shown row.
std::string TabSeparatedText(const ListModel& model);

// Writes every shown row, in the shown order, in a format; the text comes
// out in pieces of some sixty thousand bytes. The title names the page of
// the HTML form.
void WriteExport(ExportFormat format, const ListModel& model, std::string_view title, const ExportSink& sink);

}  // namespace tmr
