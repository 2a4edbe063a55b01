#include <gtest/gtest.h>

#include "app/ListExport.h"

namespace tmr {
namespace {

ListModel Hostile() {
  ListModel m;
  m.AddColumn("URL", 100);
  m.AddColumn("Title, \"quoted\"", 100);
  m.AddRow({"http://a/?x=1,2", "say \"hi\""});
  m.AddRow({"line1\r\nline2", "tab\there\n"});
  m.AddRow({"<script>alert(1)</script> & co", "\xF0\x9D\x84\x9E music"});  // U+1D11E
  m.AddRow({std::string("cut\0hidden", 10)});                              // a short row
  return m;
}

std::string Exported(ExportFormat format, const ListModel& m) {
  std::string text;
  int pieces = 0;
  WriteExport(format, m, "Chrome <URL> History", [&](std::string_view piece) {
    text += piece;
    ++pieces;
  });
  EXPECT_GE(pieces, 1);
  return text;
}

TEST(ListExport, CsvAndTabSeparatedFilesHoldEveryCellAsShown) {
  const ListModel m = Hostile();
  EXPECT_EQ(Exported(ExportFormat::kCsv, m),
            "\xEF\xBB\xBF"
            "URL,\"Title, \"\"quoted\"\"\"\r\n"
            "\"http://a/?x=1,2\",\"say \"\"hi\"\"\"\r\n"
            "\"line1\r\nline2\",\"tab\there\n\"\r\n"
            "<script>alert(1)</script> & co,\xF0\x9D\x84\x9E music\r\n"
            "cut,\r\n");
  EXPECT_EQ(Exported(ExportFormat::kTabSeparated, m),
            "\xEF\xBB\xBF"
            "URL\tTitle, \"quoted\"\r\n"
            "http://a/?x=1,2\tsay \"hi\"\r\n"
            "line1  line2\ttab here \r\n"
            "<script>alert(1)</script> & co\t\xF0\x9D\x84\x9E music\r\n"
            "cut\t\r\n");
}

TEST(ListExport, HtmlEscapesEveryValueAndForbidsScript) {
  const std::string page = Exported(ExportFormat::kHtml, Hostile());
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_NE(page.find("<title>Chrome &lt;URL&gt; History</title>"), std::string::npos);
  EXPECT_NE(page.find("content=\"default-src 'none'"), std::string::npos);
  const std::string table = page.substr(page.find("<table>"));
  EXPECT_EQ(table,
            "<table>\r\n"
            "<tr><th>URL</th><th>Title, &quot;quoted&quot;</th></tr>\r\n"
            "<tr><td>http://a/?x=1,2</td><td>say &quot;hi&quot;</td></tr>\r\n"
            "<tr><td>line1\r\nline2</td><td>tab\there\n</td></tr>\r\n"
            "<tr><td>&lt;script&gt;alert(1)&lt;/script&gt; &amp; co</td><td>\xF0\x9D\x84\x9E music</td></tr>\r\n"
            "<tr><td>cut</td><td></td></tr>\r\n"
            "</table>\r\n</body>\r\n</html>\r\n");
}

TEST(ListExport, FilesAndClipboardTakeTheShownRowsInTheShownOrder) {
  ListModel m;
  m.AddColumn("Name", 100);
  for (int i = 0; i < 5000; ++i) m.AddRow({"row " + std::to_string(i)});
  m.SetFilter("9");
  m.ClickColumn(0);
  m.ClickColumn(0);  // descending
  ASSERT_EQ(m.ShownCount(), 1355u);
  const std::string csv = Exported(ExportFormat::kCsv, m);
  EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBFName\r\nrow 4999\r\nrow 4998\r\n"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1356);
  EXPECT_TRUE(csv.ends_with("row 9\r\n"));
  EXPECT_EQ(TabSeparatedText(m), csv.substr(3));

  const std::size_t picked[] = {2, 0};
  EXPECT_EQ(TabSeparatedText(m, picked), "Name\r\nrow 4997\r\nrow 4999\r\n");
}

TEST(ListExport, TheExtensionNamesTheFormat) {
  const std::pair<const char*, std::optional<ExportFormat>> names[] = {
      {"C:\\a\\list.csv", ExportFormat::kCsv},
      {"LIST.CSV", ExportFormat::kCsv},
      {"list.tsv", ExportFormat::kTabSeparated},
      {"list.txt", ExportFormat::kTabSeparated},
      {"list.htm", ExportFormat::kHtml},
      {"list.HTML", ExportFormat::kHtml},
      {"list.csv.bak", std::nullopt},
      {"list", std::nullopt},
      {"csv", std::nullopt},
  };
  for (const auto& [name, format] : names) EXPECT_EQ(ExportFormatOfName(name), format) << name;
}

}  // namespace
}  // namespace tmr
