#include "report/HtmlReport.h"

#include <array>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/TextUtil.h"

namespace tmr {
namespace {

constexpr std::array<SectionInfo, 22> kSections{{
    {1, "Creating Internet Explorer URL history report...", "Internet_Explorer-URL_History",
     "Internet Explorer--URL History</a></td></tr>"},
    {2, "Creating Internet Explorer Address Bar report...", "Internet_Explorer-Address Bar",
     "Internet Explorer-Address Bar History</a></td></tr>"},
    {3, "Creating Internet Explorer Cookie report...", "Internet_Explorer-Cookies",
     "Internet Explorer-Cookies</a></td></tr>"},
    {4, "Creating Index.dat report...this may take 2-3 minute if the file is large", "Internet_Explorer-Index.dat File",
     "Internet Explorer-Index.dat </a></td></tr>"},
    {5, "Creating Windows recent documents report...", "Windows-Recent Documents",
     "Windows-Recent Documents</a></td></tr>"},
    {6, "Creating Windows Search History report...", "Windows-Search History", "Windows-Search History</a></td></tr>"},
    {7, "Creating Windows Run History report...", "Windows-Run History", "Windows-Run History</a></td></tr>"},
    {8, "Creating Windows Open/Save History report...", "Windows-Open/Save History",
     "Windows-Open/Save History</a></td></tr>"},
    {9, "Creating Windows List Visited History report...", "Windows-List Visited History",
     "Windows-List Visited History</a></td></tr>"},
    {10, "Creating Windows USB Storage History report...", "Windows-USB Storage History",
     "Windows-USB Storage History</a></td></tr>"},
    {11, "Creating Windows First Folder report...", "Windows-First Folder", "Windows-First Folder</a></td></tr>"},
    {12, "Creating Windows Typed Paths report...", "Windows-Typed Paths", "Windows-Typed Paths</a></td></tr>"},
    {13, "Creating Firefox URL history report...", "Firefox-URL History", "Firefox-URL History</a></td></tr>"},
    {14, "Creating Firefox Cookies report...", "Firefox-Cookies", "Firefox-Cookies</a></td></tr>"},
    {15, "Creating Firefox downloads report...", "Firefox-Downloads", "Firefox-Downloads</a></td></tr>"},
    {16, "Creating Firefox Input History report...", "Firefox-Input History", "Firefox-Input History</a></td></tr>"},
    {17, "Creating Firefox Form History report...", "Firefox-Form History", "Firefox-Form History</a></td></tr>"},
    {18, "Creating Chrome URL history report...", "Chrome-URL History", "Chrome-URL History</a></td></tr>"},
    {19, "Creating Chrome Cookies report...", "Chrome-Cookies", "Chrome-Cookies</a></td></tr>"},
    {20, "Creating Chrome Downloads report...", "Chrome-Downloads", "Chrome-Downloads</a></td></tr>"},
    {21, "Creating Chrome Top Visited Sites report...", "Chrome-Top Visited Sites",
     "Chrome-Top Visited Sites</a></td></tr>"},
    {22, "Creating Chrome keyword Searched report...", "Chrome-Keyword Searched",
     "Chrome-keyword Searched</a></td></tr>"},
}};

bool IsSingleCell(int number) { return (number >= 2 && number <= 12) || number == 16; }

// The first n characters (not bytes) of UTF-8 text.
std::string_view Left(std::string_view text, size_t n) {
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

const std::vector<std::string>& HeaderLines(int number) {
  static const std::vector<std::string> kSingle{R"(<tr><td class="style10"><strong><span class="style11">)"};
  static const std::vector<std::string> kNone{};
  static const std::vector<std::vector<std::string>> kByNumber{
      {R"(<tr><td style="width: 420px" class="style10"><strong><span class="style11">)",
       R"(Title</span></strong></td>)", R"(<td style="width: 471px" class="style10"><strong>URL</strong></td>)",
       R"(<td style="width: 171px" class="style10"><strong>Last Visited</strong></td>)"},
      {R"(<tr><td style="width: 500px" class="style10"><strong><span class="style11">)", R"(URL</span></strong></td>)",
       R"(<td style="width: 500px" class="style10"><strong>Title</strong></td>)",
       R"(<td style="width: 171px" class="style10"><strong>Last Visited</strong></td>)"},
      {R"(<tr><td style="width: 300px" class="style10"><strong>Host</strong></td>)",
       R"(<td style="width: 300px" class="style10"><strong>Name</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>Creation Time</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>Last Accessed Time</strong></td>)"},
      {R"(<tr><td style="width: 300px" class="style10"><strong>File Name</strong></td>)",
       R"(<td style="width: 400px" class="style10"><strong>Source</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>Start Time</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>End Time</strong></td>)"},
      {R"(<tr><td style="width: 200px" class="style10"><strong>Field Name</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>Value</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>Times Used</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>First Used</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>Last Used</strong></td>)"},
      {R"(<tr><td style="width: 500px" class="style10"><strong>URL</strong></td>)",
       R"(<td style="width: 400px" class="style10"><strong>Title</strong></td>)",
       R"(<td style="width: 51px" class="style10"><strong>Visit Count</strong></td>)",
       R"(<td style="width: 150px" class="style10"><strong>Last Visited</strong></td>)"},
      {R"(<tr><td style="width: 200px" class="style10"><strong>Host</strong></td>)",
       R"(<td style="width: 200px" class="style10"><strong>Name</strong></td>)",
       R"(<td style="width: 100px" class="style10"><strong>Creation Time</strong></td>)",
       R"(<td style="width: 100px" class="style10"><strong>Last Accessed</strong></td>)"},
      {R"(<tr><td style="width: 400px" class="style10"><strong>File Name</strong></td>)",
       R"(<td style="width: 400px" class="style10"><strong>Source</strong></td>)",
       R"(<td style="width: 100px" class="style10"><strong>Time</strong></td>)"},
      {R"(<tr><td style="width: 400px" class="style10"><strong>URL</strong></td>)",
       R"(<td style="width: 50px" class="style10"><strong>Rank</strong></td>)",
       R"(<td style="width: 400px" class="style10"><strong>Title</strong></td>)"},
  };
  if (IsSingleCell(number)) return kSingle;
  switch (number) {
    case 1: return kByNumber[0];
    case 13: return kByNumber[1];
    case 14: return kByNumber[2];
    case 15: return kByNumber[3];
    case 17: return kByNumber[4];
    case 18: return kByNumber[5];
    case 19: return kByNumber[6];
    case 20: return kByNumber[7];
    case 21: return kByNumber[8];
    default: return kNone;  // section 22
  }
}

enum class Cut { kWhole, kLeft80, kLeft50, kTrim };

struct SplitLayout {
  std::vector<Cut> cuts;
  std::array<std::string, 2> firstTag;   // style7, style5
  std::array<std::string, 2> secondTag;  // the other cells (14, 15: the second only)
  std::array<std::string, 2> laterTag;   // 14, 15: third and fourth
};

const SplitLayout& LayoutOf(int number) {
  static const SplitLayout k13{{Cut::kLeft80, Cut::kLeft80, Cut::kWhole},
                               {R"(<tr><td class="style7">)", R"(<tr><td  class="style5">)"},
                               {R"(<td  class="style7">)", R"(<td  class="style5">)"},
                               {R"(<td  class="style7">)", R"(<td  class="style5">)"}};
  static const SplitLayout k14{
      {Cut::kLeft80, Cut::kLeft50, Cut::kTrim, Cut::kTrim},
      {R"(<tr><td style="width: 300px" class="style7">)", R"(<tr><td style="width: 300px" class="style5">)"},
      {R"(<td style="width: 300px" class="style7">)", R"(<td style="width: 300px" class="style5">)"},
      {R"(<td style="width: 200px" class="style7">)", R"(<td style="width: 200px" class="style5">)"}};
  static const SplitLayout k17{{Cut::kWhole, Cut::kWhole, Cut::kTrim, Cut::kTrim, Cut::kTrim},
                               {R"(<tr><td class="style7">)", R"(<tr><td class="style5">)"},
                               {R"(<td class="style7">)", R"(<td  class="style5">)"},
                               {R"(<td class="style7">)", R"(<td  class="style5">)"}};
  static const SplitLayout k18{{Cut::kLeft80, Cut::kLeft80, Cut::kWhole, Cut::kWhole},
                               {R"(<tr><td  class="style7">)", R"(<tr><td  class="style5">)"},
                               {R"(<td  class="style7">)", R"(<td  class="style5">)"},
                               {R"(<td  class="style7">)", R"(<td  class="style5">)"}};
  static const SplitLayout k19{
      {Cut::kWhole, Cut::kWhole, Cut::kWhole, Cut::kWhole}, k18.firstTag, k18.secondTag, k18.laterTag};
  static const SplitLayout k20{{Cut::kWhole, Cut::kWhole, Cut::kWhole}, k18.firstTag, k18.secondTag, k18.laterTag};
  static const SplitLayout k22{{Cut::kWhole}, k18.firstTag, k18.secondTag, k18.laterTag};
  switch (number) {
    case 13: return k13;
    case 14:
    case 15: return k14;
    case 17: return k17;
    case 18: return k18;
    case 19: return k19;
    case 20:
    case 21: return k20;
    default: return k22;
  }
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

// The position of the first of & < > " at or after from, or the size:
// sixteen bytes a step where the processor allows.
size_t NextMarkup(std::string_view text, size_t from) {
  size_t i = from;
#if defined(__SSE2__)
  const __m128i amp = _mm_set1_epi8('&');
  const __m128i lt = _mm_set1_epi8('<');
  const __m128i gt = _mm_set1_epi8('>');
  const __m128i quot = _mm_set1_epi8('"');
  for (; text.size() - i >= 16; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, amp), _mm_cmpeq_epi8(bytes, lt)),
                               _mm_or_si128(_mm_cmpeq_epi8(bytes, gt), _mm_cmpeq_epi8(bytes, quot)));
    if (int mask = _mm_movemask_epi8(hit)) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '&' || c == '<' || c == '>' || c == '"') return i;
  }
  return i;
}

// Flips the page-wide flag and says whether this row takes style7.
bool TakesStyle7(bool& flag, bool style7WhenClear) {
  bool style7 = style7WhenClear ? !flag : flag;
  flag = !flag;
  return style7;
}

}  // namespace

const SectionInfo& ReportSection(int number) { return kSections.at(static_cast<size_t>(number - 1)); }

void AppendEscapedHtml(std::string& out, std::string_view text) {
  text = text.substr(0, text.find('\0'));
  size_t start = 0;
  size_t i = 0;
  while (true) {
    i = NextMarkup(text, i);
    if (i == text.size()) break;
    const char* entity = nullptr;
    switch (text[i]) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      default: entity = "&quot;"; break;
    }
    out.append(text, start, i - start);
    out += entity;
    start = ++i;
  }
  out.append(text, start, std::string_view::npos);
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  AppendEscapedHtml(out, text);
  return out;
}

void HtmlReportWriter::Cell(std::string_view tag, std::string_view value, std::string_view end) {
  line_.clear();
  line_ += tag;
  AppendEscapedHtml(line_, value);
  line_ += end;
  sink_(line_);
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

void HtmlReportWriter::WriteIndexTable(const ReportGroups& groups) {
  const std::string w123 = R"(<td class="style9" style="width: 123px">)";
  const std::string w120 = R"(<td class="style9" style="width: 120px">)";
  const std::string w90 = R"(<td class="style9" style="width: 90px">)";
  const std::string w113 = R"(<td class="style9" style="width: 113px">)";
  const std::string w125 = R"(<td class="style9" style="width: 125px">)";
  const std::string w141 = R"(<td class="style9" style="width: 141px">)";
  const std::string w103 = R"(<td class="style9" style="width: 103px">)";
  const std::string e125 = R"(<td class="style9" style="width: 125px">&nbsp;</td>)";
  const std::string e141 = R"(<td class="style9" style="width: 141px">&nbsp;</td>)";
  const std::string e103 = R"(<td class="style9" style="width: 103px">&nbsp;</td>)";
  auto lines = [this](std::initializer_list<std::string> list) {
    for (const std::string& l : list) Line(l);
  };

  Line(R"(<table class="style2">)");
  if (groups.internetExplorer) {
    lines({R"(<tr><td style="width: 122px" class="style9">)", "Internet Explorer</td>", w123,
           R"(<a href="#Internet_Explorer-URL_History">URL History</a></td>)", w120,
           R"(<a href="#Internet_Explorer-Address Bar">Address Bar</a></td>)", w90,
           R"(<a href="#Internet_Explorer-Cookies">Cookies</a></td>)", w113});
    Line(groups.indexDat ? R"(<a href="#Internet_Explorer-Index.dat File">Index.dat File</a></td>)" : "</td>");
    lines({e125, e141, e103, R"(<td class="style9">&nbsp;</td><td class="style9">&nbsp;</td></tr>)"});
  }
  if (groups.windows) {
    // This row writes no "</tr>": the next row's "<tr>" closes it.
    lines({R"(<tr><td style="width: 122px" class="style9">)", "Windows</td>", w123,
           R"(<a href="#Windows-Recent Documents">Recent Documents</a></td>)", w120,
           R"(<a href="#Windows-Search History">Search History</a></td>)", w90,
           R"(<a href="#Windows-Run History">Run History</a></td>)", w113,
           R"(<a href="#Windows-Open/Save History">Open/Save History</a></td>)", w125,
           R"(<a href="#Windows-List Visited History">List Visted History</a></td>)", w141,
           R"(<a href="#Windows-USB Storage History">USB Storage History</a></td>)", w103,
           R"(<a href="#Windows-First Folder">First Folder</a></td>)", w103,
           R"(<a href="#Windows-Typed Paths">Typed Paths</a></td>)"});
  }
  if (groups.firefox) {
    lines({R"(<tr><td style="width: 122px" class="style9">Firefox</td>)", w123,
           R"(<a href="#Firefox-URL History">URL History</a></td>)", w120,
           R"(<a href="#Firefox-Cookies">Cookies</a></td>)", w90, R"(<a href="#Firefox-Downloads">Downloads</a></td>)",
           w113, R"(<a href="#Firefox-Input History">Input History</a></td>)", w125,
           R"(<a href="#Firefox-Form History">Form History</a></td>)", e141, e103,
           R"(<td class="; style9; ">&nbsp;</td>)", R"(<td class="; style9; ">&nbsp;</td></tr>)"});
  }
  if (groups.chrome) {
    lines({R"(<tr><td style="width: 122px" class="style9">Chrome</td>)", w123,
           R"(<a href="#Chrome-URL History">URL History</a></td>)", w120,
           R"(<a href="#Chrome-Cookies">Cookies</a></td>)", w90, R"(<a href="#Chrome-Downloads">Downloads</a></td>)",
           w113, R"(<a href="#Chrome-Top Visited Sites">Top Visited Sites</a></td>)", w125,
           R"(<a href="#Chrome-Keyword Searched">Keyword Searched</a></td>)", e141, e103,
           R"(<td class="style9">&nbsp;</td>)", R"(<td class="style9">&nbsp;</td></tr>)"});
  }
  Line("</table>");
  Line("<p>&nbsp;</p>");
}

void HtmlReportWriter::BeginSection(int number) {
  const SectionInfo& section = ReportSection(number);
  if (number == 1) ieFlag_ = false;
  if (number == 2) pageFlag_ = false;
  Line(R"(<table class="style1"><tr>)");
  Line(std::string(R"(<td colspan="5" class="style4"><a name=")") + section.anchor + R"(">)");
  Line(section.heading);
  for (const std::string& header : HeaderLines(number)) Line(header);
}

void HtmlReportWriter::WriteIeHistoryRow(const std::string& title, const std::string& url,
                                         const std::string& lastVisited) {
  bool style7 = !ieFlag_;
  ieFlag_ = !ieFlag_;
  const char* first =
      style7 ? R"(<tr><td style="width: 420px" class="style7">)" : R"(<tr><td style="width: 420px" class="style5">)";
  const char* other =
      style7 ? R"(<td style="width: 471px" class="style7">)" : R"(<td style="width: 471px" class="style5">)";
  Cell(first, Left(title, 80), "</td>");
  Cell(other, Left(url, 80), "</td>");
  Cell(other, lastVisited, "</td></tr>");
}

void HtmlReportWriter::WriteEntries(int number, const EntryList& list) {
  if (list.empty()) return;  // nothing collected
  if (IsSingleCell(number)) {
    WriteSingleCellRows(list);
  } else {
    WriteSplitRows(number, list);
  }
}

void HtmlReportWriter::WriteSingleCellRows(const EntryList& list) {
  for (const std::string& element : list) {
    bool style7 = TakesStyle7(pageFlag_, true);
    Cell(style7 ? R"(<tr><td class="style7">)" : R"(<tr><td class="style5">)", element, "</td>");
  }
}

void HtmlReportWriter::WriteSplitRows(int number, const EntryList& list) {
  const SplitLayout& layout = LayoutOf(number);
  for (const std::string& element : list) {
    if (TrimView(element).empty()) continue;
    SplitFieldViews(element, fields_, fieldStore_);
    const auto& fields = fields_;
    size_t style = TakesStyle7(pageFlag_, false) ? 0 : 1;
    for (size_t cell = 0; cell < layout.cuts.size(); ++cell) {
      const std::string& tag = cell == 0                                       ? layout.firstTag[style]
                               : (cell == 1 || (number != 14 && number != 15)) ? layout.secondTag[style]
                                                                               : layout.laterTag[style];
      std::string_view value = cell < fields.size() ? Apply(layout.cuts[cell], fields[cell]) : std::string_view();
      bool last = cell + 1 == layout.cuts.size();
      Cell(tag, value, last ? "</td></tr>" : "</td>");
    }
  }
}

void HtmlReportWriter::EndSection() {
  Line("</table>");
  Line(R"(<a href="#top">return to top</a><br /><br />)");
}

void HtmlReportWriter::WriteFooter(const std::string& siteAddress) {
  Line(R"(<p>Created by <a href=")" + EscapeHtml(siteAddress) + R"(">Tracemere</a></p>)");
  Line("</body></html>");
}

}  // namespace tmr
