#include "report/ExportWriter.h"

#include <charconv>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "categories/Timeline.h"
#include "core/TextUtil.h"
#include "report/HtmlReport.h"

namespace tmr {
namespace {

constexpr std::size_t kPieceBytes = 1 << 16;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A cell as the list shows it.
std::string_view ShownText(std::string_view cell) { return cell.substr(0, cell.find('\0')); }

// The cell up to its first NUL, and whether it holds one of the special
// bytes before it: sixteen bytes compared at a time, as a million rows'
// cells are scanned.
template <char... kSpecial>
std::string_view ScanCell(std::string_view cell, bool& special) {
  special = false;
  std::size_t at = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; at + 16 <= cell.size(); at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cell.data() + at));
    __m128i hits = _mm_cmpeq_epi8(bytes, zero);
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(kSpecial)))), ...);
    if (_mm_movemask_epi8(hits) != 0) break;
  }
#endif
  for (; at < cell.size(); ++at) {
    const char c = cell[at];
    if (c == '\0') return cell.substr(0, at);
    if (((c == kSpecial) || ...)) special = true;
  }
  return cell;
}

void AppendTabCell(std::string& out, std::string_view cell) {
  bool special = false;
  cell = ScanCell<'\t', '\r', '\n'>(cell, special);
  if (!special) {
    out.append(cell);
    return;
  }
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
  bool special = false;
  cell = ScanCell<',', '"', '\r', '\n'>(cell, special);
  if (!special) {
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

// A JSON string of UTF-8 text: quotes, backslashes and control characters
// escaped, everything else as it is.
void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          static constexpr char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[(c >> 4) & 0xF];
          out += kHex[c & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

// One line of cells; cellAt(i) gives the i-th text of count.
template <typename CellAt>
void AppendLine(ExportFormat format, std::string& out, std::size_t count, CellAt cellAt, bool header) {
  if (format == ExportFormat::kHtml) {
    out += "<tr>";
    for (std::size_t i = 0; i < count; ++i) {
      out += header ? "<th>" : "<td>";
      AppendEscapedHtml(out, cellAt(i));
      out += header ? "</th>" : "</td>";
    }
    out += "</tr>\r\n";
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) out += format == ExportFormat::kCsv ? ',' : '\t';
    (format == ExportFormat::kCsv ? AppendCsvCell : AppendTabCell)(out, cellAt(i));
  }
  out += "\r\n";
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
  if (EndsWith(name, ".jsonl")) return ExportFormat::kJsonLines;
  return std::nullopt;
}

ExportWriter::ExportWriter(ExportFormat format, std::vector<std::string> headers, const CellFormat& cellFormat,
                           ExportSink sink)
    : format_(format), headers_(std::move(headers)), cellFormat_(cellFormat), sink_(std::move(sink)) {
  piece_.reserve(kPieceBytes * 2);
}

constexpr std::string_view kTimesketchFields[] = {"message",  "datetime", "timestamp_desc", "timestamp",
                                                  "category", "item",     "details"};

void ExportWriter::Begin(std::string_view title) {
  if (format_ == ExportFormat::kTimesketchCsv) {
    for (std::size_t i = 0; i < std::size(kTimesketchFields); ++i) {
      if (i > 0) piece_ += ',';
      piece_ += kTimesketchFields[i];
    }
    piece_ += '\n';
    return;
  }
  if (format_ == ExportFormat::kJsonLines || format_ == ExportFormat::kTimesketchJsonLines) return;
  if (format_ == ExportFormat::kHtml) {
    AppendPageStart(piece_, title);
  } else {
    piece_ += kByteOrderMark;
  }
  AppendLine(
      format_, piece_, headers_.size(), [&](std::size_t i) { return std::string_view(headers_[i]); }, true);
}

void ExportWriter::AddRow(std::span<const CellValue> cells) {
  if (format_ == ExportFormat::kJsonLines) {
    AppendJsonLine(cells);
  } else if (format_ == ExportFormat::kTimesketchCsv || format_ == ExportFormat::kTimesketchJsonLines) {
    AppendTimesketchLine(cells);
  } else {
    AppendTextLine(cells);
  }
  if (piece_.size() >= kPieceBytes) {
    sink_(piece_);
    piece_.clear();
  }
}

void ExportWriter::AppendTextLine(std::span<const CellValue> cells) {
  AppendLine(
      format_, piece_, headers_.size(),
      [&](std::size_t i) -> std::string_view {
        if (i >= cells.size()) return {};
        if (cells[i].Kind() == CellKind::kText) return cells[i].TextValue();
        scratch_.clear();
        if (cells[i].Kind() == CellKind::kNumber) {
          char digits[24];
          const auto written = std::to_chars(digits, digits + sizeof digits, cells[i].NumberValue());
          scratch_.append(digits, written.ptr);
        } else {
          cellFormat_.AppendTime(scratch_, cells[i].TimeValue());
        }
        return scratch_;
      },
      false);
}

void ExportWriter::AppendJsonLine(std::span<const CellValue> cells) {
  piece_ += '{';
  for (std::size_t i = 0; i < headers_.size(); ++i) {
    if (i > 0) piece_ += ',';
    AppendJsonString(piece_, headers_[i]);
    piece_ += ':';
    const CellValue cell = i < cells.size() ? cells[i] : CellValue();
    switch (cell.Kind()) {
      case CellKind::kText: AppendJsonString(piece_, ShownText(cell.TextValue())); break;
      case CellKind::kNumber: cellFormat_.Append(piece_, cell); break;
      case CellKind::kTime:
        if (const auto iso = IsoUtcText(cell.TimeValue())) {
          AppendJsonString(piece_, *iso);
        } else {
          piece_ += "null";
        }
        break;
    }
  }
  piece_ += "}\n";
}

void ExportWriter::AppendTimesketchLine(std::span<const CellValue> cells) {
  // The timeline's columns: time, event, category, item, details.
  auto text = [&](std::size_t i) {
    return i < cells.size() && cells[i].Kind() == CellKind::kText ? ShownText(cells[i].TextValue())
                                                                  : std::string_view();
  };
  if (cells.empty() || cells[0].Kind() != CellKind::kTime) return;
  const Instant instant = cells[0].TimeValue();
  std::optional<std::string> iso = IsoUtcText(instant);
  if (!iso) return;
  // A server reads the offset, not a "Z".
  iso->pop_back();
  *iso += "+00:00";
  std::string message(text(kTimelineEvent));
  if (!text(kTimelineItem).empty()) message += (message.empty() ? "" : ": ") + std::string(text(kTimelineItem));
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, instant);
  const std::string_view timestamp(digits, static_cast<std::size_t>(written.ptr - digits));
  const std::string_view values[] = {message,
                                     *iso,
                                     text(kTimelineEvent),
                                     timestamp,
                                     text(kTimelineCategory),
                                     text(kTimelineItem),
                                     text(kTimelineDetails)};
  if (format_ == ExportFormat::kTimesketchCsv) {
    for (std::size_t i = 0; i < std::size(values); ++i) {
      if (i > 0) piece_ += ',';
      AppendCsvCell(piece_, values[i]);
    }
    piece_ += '\n';
    return;
  }
  piece_ += '{';
  for (std::size_t i = 0; i < std::size(values); ++i) {
    if (i > 0) piece_ += ',';
    AppendJsonString(piece_, kTimesketchFields[i]);
    piece_ += ':';
    if (kTimesketchFields[i] == "timestamp") {
      piece_ += timestamp;
    } else {
      AppendJsonString(piece_, values[i]);
    }
  }
  piece_ += "}\n";
}

void ExportWriter::End() {
  if (format_ == ExportFormat::kHtml) piece_ += "</table>\r\n</body>\r\n</html>\r\n";
  sink_(piece_);
  piece_.clear();
}

}  // namespace tmr
