// The report page, written line by line to a sink: head and style sheet,
// the header table, the index of links, one table per section, the footer.
// Every data value is HTML-escaped, so history text can neither break the
// page nor run script in it.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "categories/CategoryTable.h"
#include "readers/RowSink.h"

namespace tmr {

using LineSink = std::function<void(std::string_view line)>;

// &, <, > and " as entities; the text ends at its first NUL.
std::string EscapeHtml(std::string_view text);
void AppendEscapedHtml(std::string& out, std::string_view text);

// Between BeginSection and EndSection the writer takes the section's rows.
class HtmlReportWriter final : public RowSink {
 public:
  // Times are written by the format (the viewer's local or UTC texts).
  HtmlReportWriter(LineSink sink, const CellFormat& format) : sink_(std::move(sink)), texts_(format) {}

  void WriteHead();
  void WriteHeaderTable(const std::string& computer, const std::string& user, const std::string& date);
  // A row per tree group whose index row group is chosen, with a link to
  // each of its sections that is written; then a row per chosen report
  // group that has a row of its own.
  void WriteIndexTable(const CategoryTable& table, const ReportGroupSet& chosen);

  // Table, anchor, heading and column header lines of a section.
  void BeginSection(const ReportSectionInfo& section);
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue> cells) override;
  void BeginList() override;
  void EndSection();

  void WriteFooter(const std::string& siteAddress);

 private:
  void Line(const std::string& line) { sink_(line); }
  // tag + escaped value + end, put together in a reused buffer.
  void Cell(std::string_view tag, std::string_view value, std::string_view end);
  void WriteSingleCell(std::string_view value);
  // One row of the index: a cell for each category in it.
  void WriteIndexCells(const CategoryTable& table, const ReportGroupSet& chosen,
                       std::span<const std::string_view> start, std::span<const std::string_view> end,
                       const std::function<bool(const CategoryInfo&)>& inRow);
  void WriteCells(std::span<const std::string_view> cells, bool style7);

  LineSink sink_;
  CellTexts texts_;
  std::vector<char> cellLine_;
  const ReportSectionInfo* section_ = nullptr;
  std::size_t rowsInSection_ = 0;
  // The row classes alternate by a flag the sections share, and by one of
  // their own in the sections that keep one.
  bool pageFlag_ = false;
  bool ownFlag_ = false;
};

}  // namespace tmr
