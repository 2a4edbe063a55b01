// The report page, written line by line to a sink: head and style sheet,
// the header table, the index of links, one table per section, the footer.
// Every data value is HTML-escaped, so history text can neither break the
// page nor run script in it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "report/ReportLists.h"

namespace tmr {

using LineSink = std::function<void(const std::string& line)>;

// The dialog's group boxes.
struct ReportGroups {
  bool internetExplorer = true;  // Check1: sections 1-3
  bool windows = true;           // Check2: sections 5-12
  bool firefox = true;           // Check3: sections 13-17
  bool chrome = true;            // Check4: sections 18-22
  bool indexDat = false;         // Check5: section 4
};

struct SectionInfo {
  int number;
  const char* statusText;
  const char* anchor;
  const char* heading;
};

// Sections 1 to 22.
const SectionInfo& ReportSection(int number);

// &, <, > and " as entities; the text ends at its first NUL.
std::string EscapeHtml(std::string_view text);
void AppendEscapedHtml(std::string& out, std::string_view text);

class HtmlReportWriter {
 public:
  explicit HtmlReportWriter(LineSink sink) : sink_(std::move(sink)) {}

  void WriteHead();
  void WriteHeaderTable(const std::string& computer, const std::string& user, const std::string& date);
  void WriteIndexTable(const ReportGroups& groups);

  // Table, anchor, heading and column header lines of a section.
  void BeginSection(int number);
  // Section 1's rows, one per history item.
  void WriteIeHistoryRow(const std::string& title, const std::string& url, const std::string& lastVisited);
  // The rows of sections 2 to 22 from their entry list.
  void WriteEntries(int number, const EntryList& list);
  void EndSection();

  void WriteFooter(const std::string& siteAddress);

 private:
  void Line(const std::string& line) { sink_(line); }
  // tag + escaped value + end, built in a reused buffer.
  void Cell(std::string_view tag, std::string_view value, std::string_view end);
  void WriteSingleCellRows(const EntryList& list);
  void WriteSplitRows(int number, const EntryList& list);

  LineSink sink_;
  std::string line_;
  std::vector<std::string_view> fields_;
  std::vector<std::string> fieldStore_;
  bool pageFlag_ = false;  // shared by sections 2-22
  bool ieFlag_ = false;    // section 1's own
};

}  // namespace tmr
