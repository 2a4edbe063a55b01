// Entry point for the report's escaping: alone, and through the cells of a
// section as the page writer cuts and writes them.
#include <array>
#include <string>
#include <vector>

#include "FuzzTargets.h"
#include "report/HtmlReport.h"

namespace tmr::fuzz {
namespace {

// "" when the text is escaped: no <, > or " at all, every & the start of
// one of the four entities; and it reads back as the original up to its
// first NUL.
std::string EscapedBadly(std::string_view escaped, std::string_view original) {
  std::string back;
  for (size_t i = 0; i < escaped.size(); ++i) {
    const char c = escaped[i];
    if (c == '<' || c == '>' || c == '"') return "markup left unescaped";
    if (c != '&') {
      back.push_back(c);
      continue;
    }
    bool known = false;
    for (auto [entity, plain] : {std::pair{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}}) {
      if (escaped.substr(i, std::char_traits<char>::length(entity)) == entity) {
        back.push_back(plain);
        i += std::char_traits<char>::length(entity) - 1;
        known = true;
        break;
      }
    }
    if (!known) return "an & that starts no entity";
  }
  if (back != original.substr(0, original.find('\0'))) return "the escaped text does not read back as the original";
  return "";
}

constexpr std::string_view kStyle7 = R"(<td class="c7">)";
constexpr std::string_view kStyle5 = R"(<td class="c5">)";
constexpr std::array<ReportCellInfo, 4> kCells{{{0, Cut::kWhole, kStyle7, kStyle5},
                                                {1, Cut::kLeft80, kStyle7, kStyle5},
                                                {2, Cut::kLeft50, kStyle7, kStyle5},
                                                {3, Cut::kTrim, kStyle7, kStyle5}}};

}  // namespace

std::string CheckHtmlEscape(std::string_view input) {
  if (std::string failed = EscapedBadly(EscapeHtml(input), input); !failed.empty()) return "EscapeHtml: " + failed;
  std::string appended = "<b>";
  AppendEscapedHtml(appended, input);
  if (appended != "<b>" + EscapeHtml(input)) return "AppendEscapedHtml differs from EscapeHtml";

  // The input's tab-separated pieces as the cells of rows: whatever the
  // cut, a cell line is its tag, the escaped value and its end.
  std::vector<std::string_view> cells;
  for (size_t start = 0;;) {
    const size_t tab = input.find('\t', start);
    cells.push_back(input.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  std::vector<std::string> lines;
  HtmlReportWriter writer([&](std::string_view line) { lines.emplace_back(line); }, UtcIsoCellFormat());
  ReportSectionInfo section{};
  section.rows = ReportRows::kCellsOwnAlternation;
  section.cells = kCells;
  writer.BeginSection(section);
  const size_t before = lines.size();
  writer.AddTextRow(cells);
  for (size_t i = before; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.substr(0, kStyle7.size()) != kStyle7 && line.substr(0, kStyle5.size()) != kStyle5) {
      return "a cell line without its tag";
    }
    line.remove_prefix(kStyle7.size());
    const std::string_view end = i + 1 == lines.size() ? "</td></tr>" : "</td>";
    if (line.size() < end.size() || line.substr(line.size() - end.size()) != end) return "a cell line without its end";
    line.remove_suffix(end.size());
    for (char c : line) {
      if (c == '<' || c == '>' || c == '"') return "markup in a cell";
    }
  }
  writer.EndSection();
  return "";
}

}  // namespace tmr::fuzz
