#include "report/HtmlReport.h"

#include <algorithm>
#include <iterator>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/TextUtil.h"

namespace tmr {
namespace {

// The first n characters (not bytes) of UTF-8 text.
std::string_view Left(std::string_view text, size_t n) {
  // No more bytes than n: no more characters either.
  if (text.size() <= n) return text;
  size_t at = 0;
  for (size_t count = 0; at < text.size() && count < n; ++count) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return text.substr(0, at);
}

std::string_view TrimView(std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

std::string_view Apply(Cut cut, std::string_view field) {
  switch (cut) {
    case Cut::kLeft80: return Left(field, 80);
    case Cut::kLeft50: return Left(field, 50);
    case Cut::kTrim: return TrimView(field);
    case Cut::kWhole: return field;
  }
  return field;
}

// The position of the first of & < > " or NUL at or after from, or the
// size: sixteen bytes a step where the processor allows.
size_t NextMarkup(std::string_view text, size_t from) {
  size_t i = from;
#if defined(__SSE2__)
  const __m128i amp = _mm_set1_epi8('&');
  const __m128i lt = _mm_set1_epi8('<');
  const __m128i gt = _mm_set1_epi8('>');
  const __m128i quot = _mm_set1_epi8('"');
  const __m128i nul = _mm_setzero_si128();
  for (; text.size() - i >= 16; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, amp), _mm_cmpeq_epi8(bytes, lt)),
                               _mm_or_si128(_mm_cmpeq_epi8(bytes, gt), _mm_cmpeq_epi8(bytes, quot)));
    hit = _mm_or_si128(hit, _mm_cmpeq_epi8(bytes, nul));
    if (int mask = _mm_movemask_epi8(hit)) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '&' || c == '<' || c == '>' || c == '"' || c == '\0') return i;
  }
  return i;
}

// The longest an escaped text can be: "&quot;" for each byte.
constexpr size_t kEscapedBytesPerByte = 6;

// Writes the escaped text at `to`, which has room for the longest, and
// returns the end of what it wrote.
char* WriteEscapedHtml(char* to, std::string_view text) {
  size_t start = 0;
  size_t i = 0;
  while (true) {
    i = NextMarkup(text, i);
    to = CopyShortText(to, text.substr(start, i - start));
    if (i == text.size() || text[i] == '\0') return to;
    std::string_view entity;
    switch (text[i]) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      default: entity = "&quot;"; break;
    }
    to = CopyShortText(to, entity);
    start = ++i;
  }
}

// The opening tags of the index's cells by their place in a group's row.
constexpr std::string_view kIndexCells[] = {
    R"(<td class="style9" style="width: 123px">)", R"(<td class="style9" style="width: 120px">)",
    R"(<td class="style9" style="width: 90px">)",  R"(<td class="style9" style="width: 113px">)",
    R"(<td class="style9" style="width: 125px">)", R"(<td class="style9" style="width: 141px">)",
    R"(<td class="style9" style="width: 103px">)", R"(<td class="style9" style="width: 103px">)"};
// A row with fewer links is filled up to seven cells with empty ones.
constexpr std::string_view kIndexEmptyCells[] = {
    R"(<td class="style9" style="width: 123px">&nbsp;</td>)", R"(<td class="style9" style="width: 120px">&nbsp;</td>)",
    R"(<td class="style9" style="width: 90px">&nbsp;</td>)",  R"(<td class="style9" style="width: 113px">&nbsp;</td>)",
    R"(<td class="style9" style="width: 125px">&nbsp;</td>)", R"(<td class="style9" style="width: 141px">&nbsp;</td>)",
    R"(<td class="style9" style="width: 103px">&nbsp;</td>)"};

}  // namespace

void AppendEscapedHtml(std::string& out, std::string_view text) {
  const size_t start = out.size();
  out.resize(start + text.size() * kEscapedBytesPerByte);
  out.resize(static_cast<size_t>(WriteEscapedHtml(out.data() + start, text) - out.data()));
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  AppendEscapedHtml(out, text);
  return out;
}

void HtmlReportWriter::Cell(std::string_view tag, std::string_view value, std::string_view end) {
  const size_t most = tag.size() + value.size() * kEscapedBytesPerByte + end.size();
  if (cellLine_.size() < most) cellLine_.resize(std::max(most, cellLine_.size() * 2));
  char* const start = cellLine_.data();
  char* p = CopyShortText(start, tag);
  p = WriteEscapedHtml(p, value);
  p = CopyShortText(p, end);
  sink_(std::string_view(start, static_cast<size_t>(p - start)));
}

void HtmlReportWriter::WriteHead() {
  Line(
      R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">)");
  Line("<head>");
  Line(R"(<meta http-equiv="Content-Type"content="text/html; charset=utf-8" />)");
  Line("<title>Tracemere Report</title>");
  Line(R"(<style type="text/css">)");
  Line(
      ".style1 {border-left-style: solid;border-left-width: 1px;border-right: 1px solid #C0C0C0;border-top-style: "
      "solid;border-top-width: 1px;");
  Line(" border-bottom: 1px solid #C0C0C0;a:link    { color: #0011BB; text-decoration: none; }");
  Line("a:visited { color: #0011BB; text-decoration: none; }");
  Line("a:hover   { color: #605040; text-decoration: underline; }}");
  Line(".style2 {border: 1px solid #008080;}");
  Line(".style3 {border-style: solid;border-width: 1px;}");
  Line(".style4 {text-align: center;color: #000080; background-color: #CCCCDD;}");
  Line(".style5 {font-size: x-small;background-color: #EAEAEA;}");
  Line(".style6 {text-align: center;}");
  Line(".style7 {font-size: x-small;}");
  Line(".style8 {font-size: medium;}");
  Line(".style9 {   font-size: small;}");
  Line(".style10 {  font-size: x-small; text-align: center; background-color: #C0C0C0;  color: #3333CC;}");
  Line(".style11 {  background-color: #C0C0C0;  color: #3333CC;}");
  Line("</style></head><body>");
  Line(R"(<p class="style6"><strong><a name="top">Tracemere Report</strong></p>)");
}

void HtmlReportWriter::WriteHeaderTable(const std::string& computer, const std::string& user, const std::string& date) {
  Line(R"(<table style="width: 100%" class="style1">)");
  Line(R"(<tr><td style="width: 93px" class="style9">Computer:</td>)");
  Line(R"(<td style="width: 559px" class="style9">)" + EscapeHtml(computer) + "</td></tr>");
  Line(R"(<tr><td style="width: 93px" class="style9">User Name:</td>)");
  Line(R"(<td style="width: 559px" class="style9">)" + EscapeHtml(user) + "</td></tr>");
  Line(R"(<tr><td style="width: 93px" class="style9">Reported Date:</td>)");
  Line(R"(<td style="width: 559px" class="style9">)" + EscapeHtml(date) + "</td></tr></table>");
  Line(R"(<p class="style8">&nbsp;</p>)");
}

void HtmlReportWriter::WriteIndexCells(const CategoryTable& table, const ReportGroupSet& chosen,
                                       std::span<const std::string_view> start, std::span<const std::string_view> end,
                                       const std::function<bool(const CategoryInfo&)>& inRow) {
  for (std::string_view line : start) Line(std::string(line));
  std::size_t place = 0;
  for (const CategoryInfo& category : table.categories) {
    if (!inRow(category)) continue;
    Line(std::string(kIndexCells[std::min(place, std::size(kIndexCells) - 1)]));
    // A section that is not written keeps its cell, empty and closed.
    if (chosen.Has(category.report.group)) {
      Line("<a href=\"#" + std::string(category.report.anchor) + "\">" + std::string(category.report.indexLink) +
           "</a></td>");
    } else {
      Line("</td>");
    }
    ++place;
  }
  for (; place < std::size(kIndexEmptyCells); ++place) Line(std::string(kIndexEmptyCells[place]));
  for (std::string_view line : end) Line(std::string(line));
}

void HtmlReportWriter::WriteIndexTable(const CategoryTable& table, const ReportGroupSet& chosen) {
  Line(R"(<table class="style2">)");
  // The sections of a group with a row of its own are left out of their
  // tree group's row, which so keeps the cells it has always had.
  auto ownRow = [&table](const CategoryInfo& category) {
    return !table.Of(category.report.group).indexRowStart.empty();
  };
  for (const TreeGroupInfo& group : table.treeGroups) {
    if (!chosen.Has(group.indexRowGroup)) continue;
    WriteIndexCells(table, chosen, group.indexRowStart, group.indexRowEnd,
                    [&](const CategoryInfo& category) { return category.treeGroup == group.id && !ownRow(category); });
  }
  for (const ReportGroupInfo& group : table.reportGroups) {
    if (group.indexRowStart.empty() || !chosen.Has(group.id)) continue;
    WriteIndexCells(table, chosen, group.indexRowStart, group.indexRowEnd,
                    [&](const CategoryInfo& category) { return category.report.group == group.id; });
  }
  Line("</table>");
  Line("<p>&nbsp;</p>");
}

void HtmlReportWriter::BeginSection(const ReportSectionInfo& section) {
  section_ = &section;
  rowsInSection_ = 0;
  if (section.rows == ReportRows::kCellsOwnAlternation) ownFlag_ = false;
  Line(R"(<table class="style1"><tr>)");
  Line(R"(<td colspan="5" class="style4"><a name=")" + std::string(section.anchor) + R"(">)");
  Line(std::string(section.heading));
  for (std::string_view header : section.headerLines) Line(std::string(header));
}

void HtmlReportWriter::BeginList() {
  if (section_ && section_->rows == ReportRows::kSingleCell) WriteSingleCell("");
}

void HtmlReportWriter::AddRow(std::span<const CellValue> values) {
  if (!section_) return;
  const std::span<const std::string_view> cells = texts_.Of(values);
  switch (section_->rows) {
    case ReportRows::kSingleCell:
      // Every list begins with an empty row.
      if (rowsInSection_ == 0) WriteSingleCell("");
      WriteSingleCell(cells.empty() ? std::string_view() : cells[0]);
      return;
    case ReportRows::kCells: {
      if (cells.size() <= 1 && TrimView(cells.empty() ? std::string_view() : cells[0]).empty()) return;
      // Here a row takes style7 while the flag is set.
      const bool style7 = pageFlag_;
      pageFlag_ = !pageFlag_;
      WriteCells(cells, style7);
      return;
    }
    case ReportRows::kCellsOwnAlternation: {
      const bool style7 = !ownFlag_;
      ownFlag_ = !ownFlag_;
      WriteCells(cells, style7);
      return;
    }
  }
}

void HtmlReportWriter::WriteSingleCell(std::string_view value) {
  const bool style7 = !pageFlag_;
  pageFlag_ = !pageFlag_;
  ++rowsInSection_;
  Cell(style7 ? R"(<tr><td class="style7">)" : R"(<tr><td class="style5">)", value, "</td>");
}

void HtmlReportWriter::WriteCells(std::span<const std::string_view> cells, bool style7) {
  ++rowsInSection_;
  const auto& cellInfos = section_->cells;
  for (std::size_t i = 0; i < cellInfos.size(); ++i) {
    const ReportCellInfo& info = cellInfos[i];
    std::string_view value = info.field < cells.size() ? Apply(info.cut, cells[info.field]) : std::string_view();
    Cell(style7 ? info.style7Tag : info.style5Tag, value, i + 1 == cellInfos.size() ? "</td></tr>" : "</td>");
  }
}

void HtmlReportWriter::EndSection() {
  section_ = nullptr;
  Line("</table>");
  Line(R"(<a href="#top">return to top</a><br /><br />)");
}

void HtmlReportWriter::WriteFooter(const std::string& siteAddress) {
  Line(R"(<p>Created by <a href=")" + EscapeHtml(siteAddress) + R"(">Tracemere</a></p>)");
  Line("</body></html>");
}

}  // namespace tmr
