#include "app/ListExport.h"

#include "core/TextUtil.h"
#include "report/HtmlReport.h"

namespace tmr {
namespace {

constexpr std::size_t kPieceBytes = 1 << 16;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A cell as the list shows it.
std::string_view ShownText(std::string_view cell) { return cell.substr(0, cell.find('\0')); }

void AppendTabCell(std::string& out, std::string_view cell) {
  cell = ShownText(cell);
  for (std::size_t start = 0;;) {
    const std::size_t stop = cell.find_first_of("\t\r\n", start);
    if (stop == std::string_view::npos) {
      out.append(cell.substr(start));
      return;
    }
    out.append(cell.substr(start, stop - start));
    out += ' ';
    start = stop + 1;
  }
}

void AppendCsvCell(std::string& out, std::string_view cell) {
  cell = ShownText(cell);
  if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(cell);
    return;
  }
  out += '"';
  for (std::size_t start = 0;;) {
    const std::size_t quote = cell.find('"', start);
    if (quote == std::string_view::npos) {
      out.append(cell.substr(start));
      break;
    }
    out.append(cell.substr(start, quote + 1 - start));
    out += '"';
    start = quote + 1;
  }
  out += '"';
}

// One line of cells; cellAt(i) gives the i-th of count.
template <typename CellAt>
void AppendLine(ExportFormat format, std::string& out, std::size_t count, CellAt cellAt, bool header) {
  switch (format) {
    case ExportFormat::kCsv:
    case ExportFormat::kTabSeparated:
      for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += format == ExportFormat::kCsv ? ',' : '\t';
        (format == ExportFormat::kCsv ? AppendCsvCell : AppendTabCell)(out, cellAt(i));
      }
      out += "\r\n";
      return;
    case ExportFormat::kHtml:
      out += "<tr>";
      for (std::size_t i = 0; i < count; ++i) {
        out += header ? "<th>" : "<td>";
        AppendEscapedHtml(out, cellAt(i));
        out += header ? "</th>" : "</td>";
      }
      out += "</tr>\r\n";
      return;
  }
}

void AppendHeader(ExportFormat format, std::string& out, const ListModel& model) {
  AppendLine(
      format, out, model.ColumnCount(), [&](std::size_t i) { return std::string_view(model.ColumnAt(i).header); },
      true);
}

void AppendRow(ExportFormat format, std::string& out, const ListModel& model, std::size_t row) {
  AppendLine(
      format, out, model.ColumnCount(), [&](std::size_t i) { return model.Cell(row, i); }, false);
}

void AppendPageStart(std::string& out, std::string_view title) {
  // The policy forbids every script and outside resource, whatever a cell
  // might hold; the escaping already keeps cells from becoming markup.
  out +=
      "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\r\n"
      "<title>";
  AppendEscapedHtml(out, title);
  out +=
      "</title>\r\n<style>table{border-collapse:collapse;font-family:sans-serif;font-size:small}"
      "th,td{border:1px solid #aaa;padding:2px 6px;text-align:left;vertical-align:top;white-space:pre-wrap}"
      "th{background:#eee}</style>\r\n</head>\r\n<body>\r\n<h1>";
  AppendEscapedHtml(out, title);
  out += "</h1>\r\n<table>\r\n";
}

}  // namespace

std::optional<ExportFormat> ExportFormatOfName(std::string_view fileName) {
  const std::string name = ToLowerAscii(fileName);
  if (EndsWith(name, ".csv")) return ExportFormat::kCsv;
  if (EndsWith(name, ".tsv") || EndsWith(name, ".txt")) return ExportFormat::kTabSeparated;
  if (EndsWith(name, ".htm") || EndsWith(name, ".html")) return ExportFormat::kHtml;
  return std::nullopt;
}

std::string TabSeparatedText(const ListModel& model, std::span<const std::size_t> shownRows) {
  std::string text;
  AppendHeader(ExportFormat::kTabSeparated, text, model);
  for (std::size_t row : shownRows) AppendRow(ExportFormat::kTabSeparated, text, model, row);
  return text;
}

std::string TabSeparatedText(const ListModel& model) {
  std::string text;
  AppendHeader(ExportFormat::kTabSeparated, text, model);
  for (std::size_t row = 0; row < model.ShownCount(); ++row) AppendRow(ExportFormat::kTabSeparated, text, model, row);
  return text;
}

void WriteExport(ExportFormat format, const ListModel& model, std::string_view title, const ExportSink& sink) {
  std::string piece;
  piece.reserve(kPieceBytes * 2);
  if (format == ExportFormat::kHtml) {
    AppendPageStart(piece, title);
  } else {
    piece += kByteOrderMark;
  }
  AppendHeader(format, piece, model);
  for (std::size_t row = 0; row < model.ShownCount(); ++row) {
    AppendRow(format, piece, model, row);
    if (piece.size() >= kPieceBytes) {
      sink(piece);
      piece.clear();
    }
  }
  if (format == ExportFormat::kHtml) piece += "</table>\r\n</body>\r\n</html>\r\n";
  sink(piece);
}

}  // namespace tmr
