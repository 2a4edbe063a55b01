#include "report/ExportWriter.h"

#include <algorithm>
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
  // One block of sixteen bytes from `from`: true when it ends the cell's
  // shown text (a NUL), with `special` set for a special byte before it.
  auto block = [&](std::size_t from) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cell.data() + from));
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(kSpecial)))), ...);
    const auto nuls = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
    auto specials = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (nuls == 0) {
      special |= specials != 0;
      return false;
    }
    const int first = __builtin_ctz(nuls);
    special |= (specials & ((1u << first) - 1)) != 0;
    cell = cell.substr(0, from + static_cast<std::size_t>(first));
    return true;
  };
  if (cell.size() >= 16) {
    for (; at + 16 <= cell.size(); at += 16) {
      if (block(at)) return cell;
    }
    // The last bytes as one more load of sixteen, overlapping the ones
    // before, which held no NUL.
    if (at < cell.size()) block(cell.size() - 16);
    return cell;
  }
#endif
  for (; at < cell.size(); ++at) {
    const char c = cell[at];
    if (c == '\0') return cell.substr(0, at);
    if (((c == kSpecial) || ...)) special = true;
  }
  return cell;
}

// The most bytes a cell of `bytes` bytes takes in a CSV line: quoted, each
// quote doubled. A tab-separated cell takes no more than its bytes.
constexpr std::size_t MostCsvBytes(std::size_t bytes) { return 2 * bytes + 2; }

// Writers into room made beforehand, giving the end of what they wrote: a
// row's room is made once, as under some runtimes every append of a few
// bytes costs a call of its own.
char* WriteTabCell(char* to, std::string_view cell) {
  bool special = false;
  cell = ScanCell<'\t', '\r', '\n'>(cell, special);
  char* const end = CopyShortText(to, cell);
  if (special) {
    for (char* at = to; at != end; ++at) {
      if (*at == '\t' || *at == '\r' || *at == '\n') *at = ' ';
    }
  }
  return end;
}

char* WriteCsvCell(char* to, std::string_view cell) {
  bool special = false;
  cell = ScanCell<',', '"', '\r', '\n'>(cell, special);
  if (!special) return CopyShortText(to, cell);
  *to++ = '"';
  bool quote = false;
  ScanCell<'"'>(cell, quote);
  if (!quote) {
    // A comma or a line break: the text as it is, between quotes.
    to = CopyShortText(to, cell);
  } else {
    for (const char c : cell) {
      *to++ = c;
      if (c == '"') *to++ = '"';
    }
  }
  *to++ = '"';
  return to;
}

void AppendTabCell(std::string& out, std::string_view cell) {
  const std::size_t start = out.size();
  out.resize(start + cell.size());
  out.resize(static_cast<std::size_t>(WriteTabCell(out.data() + start, cell) - out.data()));
}

void AppendCsvCell(std::string& out, std::string_view cell) {
  const std::size_t start = out.size();
  out.resize(start + MostCsvBytes(cell.size()));
  out.resize(static_cast<std::size_t>(WriteCsvCell(out.data() + start, cell) - out.data()));
}

// A JSON string of UTF-8 text: quotes, backslashes and control characters
// escaped, everything else as it is.
void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t start = 0; start < text.size();) {
    std::size_t plain = start;
    while (plain < text.size()) {
      const auto u = static_cast<unsigned char>(text[plain]);
      if (u < 0x20 || u == '"' || u == '\\') break;
      ++plain;
    }
    out.append(text.substr(start, plain - start));
    if (plain == text.size()) break;
    const char c = text[plain];
    start = plain + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        // The other control characters.
        static constexpr char kHex[] = "0123456789abcdef";
        out += "\\u00";
        out += kHex[(c >> 4) & 0xF];
        out += kHex[c & 0xF];
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
                           ExportSink sink, std::size_t pieceBytes)
    : format_(format),
      headers_(std::move(headers)),
      cellFormat_(cellFormat),
      sink_(std::move(sink)),
      pieceBytes_(std::max<std::size_t>(pieceBytes, 1)) {
  piece_.reserve(PieceRoom());
}

// A piece is handed on once it holds pieceBytes_: room for that and a few
// rows more.
std::size_t ExportWriter::PieceRoom() const { return pieceBytes_ + pieceBytes_ / 8 + 4096; }

void ExportWriter::HandPiece() {
  piece_.resize(filled_);
  sink_(piece_);
  // Whatever string came back is room for the next piece.
  filled_ = 0;
}

constexpr std::string_view kTimesketchFields[] = {"message",  "datetime", "timestamp_desc", "timestamp",
                                                  "category", "item",     "details"};

void ExportWriter::Begin(std::string_view title) {
  piece_.resize(filled_);
  AppendStart(title);
  filled_ = piece_.size();
}

void ExportWriter::AppendStart(std::string_view title) {
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
  if (format_ == ExportFormat::kCsv || format_ == ExportFormat::kTabSeparated) {
    WriteTextLine(cells);
  } else {
    piece_.resize(filled_);
    if (format_ == ExportFormat::kJsonLines) {
      AppendJsonLine(cells);
    } else if (format_ == ExportFormat::kTimesketchCsv || format_ == ExportFormat::kTimesketchJsonLines) {
      AppendTimesketchLine(cells);
    } else {
      AppendHtmlLine(cells);
    }
    filled_ = piece_.size();
  }
  if (filled_ >= pieceBytes_) HandPiece();
}

void ExportWriter::AppendHtmlLine(std::span<const CellValue> cells) {
  AppendLine(
        format_, piece_, headers_.size(),
        [&](std::size_t i) -> std::string_view {
          if (i >= cells.size()) return {};
          if (cells[i].Kind() == CellKind::kText) return cells[i].TextValue();
          scratch_.clear();
          cellFormat_.Append(scratch_, cells[i]);
          return scratch_;
        },
        false);
}

void ExportWriter::WriteTextLine(std::span<const CellValue> cells) {
  // CSV and tab-separated lines: the times' texts first, then room for
  // the whole line, then every cell written into it. The piece's string
  // is kept longer than its bytes, so room is made only when it grows.
  const bool csv = format_ == ExportFormat::kCsv;
  const auto writeCell = csv ? WriteCsvCell : WriteTabCell;
  constexpr std::size_t kMostDigits = 24;
  const std::size_t columns = headers_.size();
  scratch_.clear();
  timeEnds_.clear();
  std::size_t most = columns + 2;
  for (std::size_t i = 0; i < columns && i < cells.size(); ++i) {
    switch (cells[i].Kind()) {
      case CellKind::kText: most += MostCsvBytes(cells[i].TextValue().size()); break;
      case CellKind::kNumber: most += kMostDigits; break;
      case CellKind::kTime: {
        // Each time's text in the scratch, one after the other, taken
        // back in order below.
        const std::size_t before = scratch_.size();
        cellFormat_.AppendTime(scratch_, cells[i].TimeValue());
        most += MostCsvBytes(scratch_.size() - before);
        timeEnds_.push_back(scratch_.size());
        break;
      }
    }
  }
  if (piece_.size() < filled_ + most) piece_.resize(std::max(filled_ + most, PieceRoom()));
  char* to = piece_.data() + filled_;
  std::size_t timeStart = 0;
  const std::size_t* timeEnd = timeEnds_.data();
  for (std::size_t i = 0; i < columns; ++i) {
    if (i > 0) *to++ = csv ? ',' : '\t';
    if (i >= cells.size()) continue;
    const CellValue& cell = cells[i];
    switch (cell.Kind()) {
      case CellKind::kText: to = writeCell(to, cell.TextValue()); break;
      case CellKind::kNumber: to = std::to_chars(to, to + kMostDigits, cell.NumberValue()).ptr; break;
      case CellKind::kTime: {
        to = writeCell(to, std::string_view(scratch_.data() + timeStart, *timeEnd - timeStart));
        timeStart = *timeEnd++;
        break;
      }
    }
  }
  *to++ = '\r';
  *to++ = '\n';
  filled_ = static_cast<std::size_t>(to - piece_.data());
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
  piece_.resize(filled_);
  if (format_ == ExportFormat::kHtml) piece_ += "</table>\r\n</body>\r\n</html>\r\n";
  filled_ = piece_.size();
  HandPiece();
}

}  // namespace tmr
