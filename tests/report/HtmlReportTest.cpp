#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "categories/CategoryTable.h"
#include "report/HtmlReport.h"

namespace tmr {
namespace {

using Lines = std::vector<std::string>;

class HtmlReportTest : public ::testing::Test {
 protected:
  HtmlReportWriter writer_{[this](std::string_view line) { lines_.emplace_back(line); }, UtcIsoCellFormat()};
  Lines lines_;

  Lines Take() {
    Lines taken = std::move(lines_);
    lines_.clear();
    return taken;
  }
  void Begin(Category category) { writer_.BeginSection(Categories().Of(category).report); }
  void Rows(std::initializer_list<std::vector<std::string_view>> rows) {
    for (const auto& row : rows) writer_.AddTextRow(row);
  }
  void Index(std::initializer_list<ReportGroup> groups) {
    ReportGroupSet chosen;
    for (ReportGroup group : groups) chosen.Set(group, true);
    writer_.WriteIndexTable(Categories(), chosen);
  }
};

TEST_F(HtmlReportTest, HeadIsWordForWord) {
  writer_.WriteHead();
  Lines head = Take();
  ASSERT_EQ(head.size(), 21u);
  EXPECT_EQ(head[0],
            "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">");
  EXPECT_EQ(head[2], "<meta http-equiv=\"Content-Type\"content=\"text/html; charset=utf-8\" />");
  EXPECT_EQ(head[6], " border-bottom: 1px solid #C0C0C0;a:link    { color: #0011BB; text-decoration: none; }");
  EXPECT_EQ(head[16], ".style9 {   font-size: small;}");
  EXPECT_EQ(head[19], "</style></head><body>");
  EXPECT_EQ(head[20], "<p class=\"style6\"><strong><a name=\"top\">Tracemere Report</strong></p>");
}

TEST_F(HtmlReportTest, HeaderTableEscapesNames) {
  writer_.WriteHeaderTable("PC<1>", "me & you", "12/8/2026 6:00:00 AM");
  Lines t = Take();
  ASSERT_EQ(t.size(), 8u);
  EXPECT_EQ(t[2], "<td style=\"width: 559px\" class=\"style9\">PC&lt;1&gt;</td></tr>");
  EXPECT_EQ(t[4], "<td style=\"width: 559px\" class=\"style9\">me &amp; you</td></tr>");
  EXPECT_EQ(t[6], "<td style=\"width: 559px\" class=\"style9\">12/8/2026 6:00:00 AM</td></tr></table>");
  EXPECT_EQ(t[7], "<p class=\"style8\">&nbsp;</p>");
}

TEST_F(HtmlReportTest, IndexTableHasOneRowPerChosenGroup) {
  Index({ReportGroup::kInternetExplorer});
  Lines ieOnly = Take();
  ASSERT_EQ(ieOnly.size(), 17u);
  EXPECT_EQ(ieOnly[9], "<td class=\"style9\" style=\"width: 113px\">");
  EXPECT_EQ(ieOnly[10], "</td>");  // no Index.dat link: the cell stays empty
  EXPECT_EQ(ieOnly[14], "<td class=\"style9\">&nbsp;</td><td class=\"style9\">&nbsp;</td></tr>");

  Index({ReportGroup::kInternetExplorer, ReportGroup::kIndexFile});
  Lines withIndex = Take();
  EXPECT_EQ(withIndex[10], "<a href=\"#Internet_Explorer-Index.dat File\">Index.dat File</a></td>");

  Index({ReportGroup::kWindows});
  Lines windowsOnly = Take();
  ASSERT_EQ(windowsOnly.size(), 21u);
  EXPECT_EQ(windowsOnly[1], "<tr><td style=\"width: 122px\" class=\"style9\">");
  EXPECT_EQ(windowsOnly[12], "<a href=\"#Windows-List Visited History\">List Visted History</a></td>");
  EXPECT_EQ(windowsOnly[18], "<a href=\"#Windows-Typed Paths\">Typed Paths</a></td>");
  EXPECT_EQ(windowsOnly[19], "</table>");  // the row writes no </tr>

  Index({ReportGroup::kFirefox});
  Lines firefox = Take();
  EXPECT_EQ(firefox[firefox.size() - 3], "<td class=\"; style9; \">&nbsp;</td></tr>");

  Index({});
  EXPECT_EQ(Take(), (Lines{"<table class=\"style2\">", "</table>", "<p>&nbsp;</p>"}));
}

TEST_F(HtmlReportTest, EveryIndexLinkHasItsAnchor) {
  Index({ReportGroup::kInternetExplorer, ReportGroup::kWindows, ReportGroup::kIndexFile, ReportGroup::kFirefox,
         ReportGroup::kChrome});
  Lines index = Take();
  std::vector<std::string_view> anchors;
  for (const CategoryInfo& category : Categories().categories) anchors.push_back(category.report.anchor);
  int links = 0;
  for (const std::string& line : index) {
    size_t at = line.find("href=\"#");
    if (at == std::string::npos) continue;
    ++links;
    std::string target = line.substr(at + 7, line.find('"', at + 7) - at - 7);
    EXPECT_NE(std::find(anchors.begin(), anchors.end(), target), anchors.end()) << target;
  }
  EXPECT_EQ(links, 22);
}

TEST_F(HtmlReportTest, SingleCellSectionsWriteThePlaceholderAndAlternate) {
  Begin(Category::kRecentDocuments);
  Rows({{"C:\\a.lnk"}, {"C:\\b.lnk"}});
  writer_.EndSection();
  Lines s = Take();
  EXPECT_EQ(s[0], "<table class=\"style1\"><tr>");
  EXPECT_EQ(s[1], "<td colspan=\"5\" class=\"style4\"><a name=\"Windows-Recent Documents\">");
  EXPECT_EQ(s[2], "Windows-Recent Documents</a></td></tr>");
  EXPECT_EQ(s[3], "<tr><td class=\"style10\"><strong><span class=\"style11\">");
  EXPECT_EQ(s[4], "<tr><td class=\"style7\"></td>");
  EXPECT_EQ(s[5], "<tr><td class=\"style5\">C:\\a.lnk</td>");
  EXPECT_EQ(s[6], "<tr><td class=\"style7\">C:\\b.lnk</td>");
  EXPECT_EQ(s[7], "</table>");
  EXPECT_EQ(s[8], "<a href=\"#top\">return to top</a><br /><br />");

  // Nothing read: frame and header only.
  Begin(Category::kSearchHistory);
  writer_.EndSection();
  EXPECT_EQ(Take().size(), 6u);

  // Each further list of a category starts with an empty row as well.
  Begin(Category::kSearchHistory);
  writer_.BeginList();
  Rows({{"a"}});
  writer_.BeginList();
  Rows({{"b"}, {"c"}});
  Lines lists = Take();
  ASSERT_EQ(lists.size(), 9u);
  // The page's flag goes on from the section before.
  EXPECT_EQ(lists[4], "<tr><td class=\"style5\"></td>");
  EXPECT_EQ(lists[5], "<tr><td class=\"style7\">a</td>");
  EXPECT_EQ(lists[6], "<tr><td class=\"style5\"></td>");
  EXPECT_EQ(lists[7], "<tr><td class=\"style7\">b</td>");
}

TEST_F(HtmlReportTest, SplitSectionsSkipEmptiesCutAndTrim) {
  std::string longUrl = "http://example.com/" + std::string(100, 'x');
  Begin(Category::kFirefoxUrlHistory);
  Rows({{longUrl, "Title", "12/8/2026"}, {"   "}, {"u", "t", ""}});
  Lines s = Take();
  ASSERT_EQ(s.size(), 7u + 6u);
  EXPECT_EQ(s[3], "<tr><td style=\"width: 500px\" class=\"style10\"><strong><span class=\"style11\">");
  // The page-wide flag is clear: the first row takes style5.
  EXPECT_EQ(s[7], "<tr><td  class=\"style5\">" + longUrl.substr(0, 80) + "</td>");
  EXPECT_EQ(s[8], "<td  class=\"style5\">Title</td>");
  EXPECT_EQ(s[9], "<td  class=\"style5\">12/8/2026</td></tr>");
  EXPECT_EQ(s[10], "<tr><td class=\"style7\">u</td>");

  const std::string name(60, 'n');
  Begin(Category::kFirefoxCookies);
  Rows({{"host", name, "  1/1/2010  ", " 2/2/2010 "}});
  Lines c = Take();
  EXPECT_EQ(c[7], "<tr><td style=\"width: 300px\" class=\"style5\">host</td>");
  EXPECT_EQ(c[8], "<td style=\"width: 300px\" class=\"style5\">" + std::string(50, 'n') + "</td>");
  EXPECT_EQ(c[9], "<td style=\"width: 200px\" class=\"style5\">1/1/2010</td>");
  EXPECT_EQ(c[10], "<td style=\"width: 200px\" class=\"style5\">2/2/2010</td></tr>");

  Begin(Category::kChromeKeywords);
  Rows({{"  "}, {"new york"}});
  Lines k = Take();
  ASSERT_EQ(k.size(), 4u);  // no header line
  EXPECT_EQ(k[3], "<tr><td  class=\"style7\">new york</td></tr>");
}

TEST_F(HtmlReportTest, SectionTwoResetsThePageFlagSectionOneHasItsOwn) {
  // The URL history reads URL, title, date; the report shows the title first.
  Begin(Category::kIeUrlHistory);
  Rows({{"http://a/", "T1", "date 1"}, {"http://b/", "T2", "date 2"}});
  Begin(Category::kIeTypedUrls);
  Rows({{"x"}});
  Begin(Category::kChromeUrlHistory);
  Rows({{"u", "t", "1", "d"}});
  Lines s = Take();
  EXPECT_EQ(s[7], "<tr><td style=\"width: 420px\" class=\"style7\">T1</td>");
  EXPECT_EQ(s[8], "<td style=\"width: 471px\" class=\"style7\">http://a/</td>");
  EXPECT_EQ(s[9], "<td style=\"width: 471px\" class=\"style7\">date 1</td></tr>");
  EXPECT_EQ(s[10], "<tr><td style=\"width: 420px\" class=\"style5\">T2</td>");
  // Section 2: placeholder style7, x style5; the flag is then clear, so
  // section 18's first row takes style5.
  EXPECT_EQ(s[17], "<tr><td class=\"style7\"></td>");
  EXPECT_EQ(s[18], "<tr><td class=\"style5\">x</td>");
  EXPECT_EQ(s[26], "<tr><td  class=\"style5\">u</td>");
}

TEST_F(HtmlReportTest, HostileValuesAreEscapedAndStayInTheirCells) {
  const std::string date("d\0junk\"", 7);
  Begin(Category::kChromeUrlHistory);
  Rows({{"http://x/?a=1&b=<2>", "<script>alert(1)</script>", "3", date}});
  Begin(Category::kRunHistory);
  Rows({{"cmd \"/c\" & <b>"}});
  Lines s = Take();
  EXPECT_EQ(s[7], "<tr><td  class=\"style5\">http://x/?a=1&amp;b=&lt;2&gt;</td>");
  EXPECT_EQ(s[8], "<td  class=\"style5\">&lt;script&gt;alert(1)&lt;/script&gt;</td>");
  EXPECT_EQ(s[10], "<td  class=\"style5\">d</td></tr>");  // cut at the NUL
  // Section 7 does not reset the flag: after section 18's one row the
  // placeholder takes style5 and the entry style7.
  EXPECT_EQ(s.back(), "<tr><td class=\"style7\">cmd &quot;/c&quot; &amp; &lt;b&gt;</td>");
  Begin(Category::kChromeTopSites);
  Rows({{"u^v", "1", "t^i^tle"}});
  Lines t = Take();
  EXPECT_EQ(t[6], "<tr><td  class=\"style7\">u^v</td>");
  EXPECT_EQ(t[8], "<td  class=\"style7\">t^i^tle</td></tr>");
}

TEST_F(HtmlReportTest, TodaysWindowsHasAnIndexRowOfItsOwn) {
  Index({ReportGroup::kWindows});
  const Lines windowsAlone = Take();
  Index({ReportGroup::kWindows, ReportGroup::kWindowsToday});
  const Lines both = Take();
  // The classic row keeps its cells; today's row comes after it.
  ASSERT_GT(both.size(), windowsAlone.size());
  const std::size_t rowsEnd = windowsAlone.size() - 2;
  EXPECT_TRUE(std::equal(windowsAlone.begin(), windowsAlone.begin() + rowsEnd, both.begin()));
  const Lines today(both.begin() + rowsEnd, both.end() - 2);
  ASSERT_EQ(today.size(), 2u + 9u * 2u + 1u);
  EXPECT_EQ(today[0], "<tr><td style=\"width: 122px\" class=\"style9\">");
  EXPECT_EQ(today[1], "Windows today</td>");
  EXPECT_EQ(today[2], "<td class=\"style9\" style=\"width: 123px\">");
  EXPECT_EQ(today[3], "<a href=\"#Windows-Jump Lists\">Jump Lists</a></td>");
  EXPECT_EQ(today[19], "<a href=\"#Windows-Startup Programs\">Startup Programs</a></td>");
  EXPECT_EQ(today[20], "</tr>");

  Index({ReportGroup::kWindowsToday});
  Lines alone = Take();
  EXPECT_EQ(Lines(alone.begin() + 1, alone.end() - 2), today);
}

TEST_F(HtmlReportTest, TodaysSectionsWriteTypedCellsWholeAndAlternateOnTheirOwn) {
  // A section before leaves the page's flag set.
  Begin(Category::kChromeUrlHistory);
  Rows({{"u", "t", "1", "d"}});
  writer_.EndSection();
  Take();
  Begin(Category::kRecycleBin);
  const std::string path = "C:\\" + std::string(100, 'p') + "\\a&b.jpg";
  const CellValue deleted[] = {CellValue::Text(path), CellValue::Number(222255),
                               CellValue::Time(InstantFromFileTime(0x01D1D24E7961A720)), CellValue::Text("Yes")};
  const CellValue blank[] = {CellValue::Text(""), CellValue::Text(""), CellValue::Text(""), CellValue::Text("")};
  writer_.AddRow(deleted);
  writer_.AddRow(blank);
  writer_.EndSection();
  const Lines s = Take();
  ASSERT_EQ(s.size(), 3u + 4u + 2u * 4u + 2u);
  EXPECT_EQ(s[1], "<td colspan=\"5\" class=\"style4\"><a name=\"Windows-Recycle Bin\">");
  EXPECT_EQ(s[6], "<td style=\"width: 60px\" class=\"style10\"><strong>Still There</strong></td></tr>");
  EXPECT_EQ(s[7], "<tr><td class=\"style7\">C:\\" + std::string(100, 'p') + "\\a&amp;b.jpg</td>");
  EXPECT_EQ(s[8], "<td class=\"style7\">222255</td>");
  EXPECT_EQ(s[9], "<td class=\"style7\">2016-06-29 21:37:45</td>");
  EXPECT_EQ(s[10], "<td class=\"style7\">Yes</td></tr>");
  // A row with nothing in it is still a row of the store.
  EXPECT_EQ(s[11], "<tr><td class=\"style5\"></td>");
  EXPECT_EQ(s[14], "<td class=\"style5\"></td></tr>");
}

TEST_F(HtmlReportTest, FooterLinksTheSite) {
  writer_.WriteFooter("http://www.tracemere.invalid");
  EXPECT_EQ(Take(),
            (Lines{"<p>Created by <a href=\"http://www.tracemere.invalid\">Tracemere</a></p>", "</body></html>"}));
}

}  // namespace
}  // namespace tmr
