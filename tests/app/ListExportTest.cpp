#include <gtest/gtest.h>

#include "app/ListExport.h"
#include "core/JsonText.h"
#include "core/TextUtil.h"

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

// One object per row, each column by its header: texts as strings (up to
// the NUL, as shown), numbers as numbers, times as ISO 8601 UTC. Every line
// reads back with a JSON parser into the values the list holds.
TEST(ListExport, JsonLinesHoldTheValues) {
  ListModel m;
  for (const char* header : {"URL \"History\"", "Visit Count", "Last Visited Time"}) m.AddColumn(header, 100);
  const Instant visit = 1556370309LL * kMicrosecondsPerSecond + 250;
  const std::string hostile = std::string("a\"b\\c\n\x01\xC3\xA9\0hidden", 14);
  const CellValue first[] = {CellValue::Text(hostile), CellValue::Number(-3), CellValue::Time(visit)};
  const CellValue second[] = {CellValue::Text("short row")};
  const CellValue third[] = {CellValue::Text("x"), CellValue::Text("7"), CellValue::Time(INT64_MAX)};
  m.AddRow(first);
  m.AddRow(second);
  m.AddRow(third);
  const std::string text = Exported(ExportFormat::kJsonLines, m);
  EXPECT_EQ(text.substr(0, text.find('\n')),
            R"({"URL \"History\"":"a\"b\\c\n\u0001)"
            "\xC3\xA9"
            R"(","Visit Count":-3,"Last Visited Time":"2019-04-27T13:05:09.000250Z"})");
  const std::vector<std::string> lines = Split(text, "\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "");
  const auto one = ParseJson(lines[0]);
  ASSERT_TRUE(one);
  EXPECT_EQ(*one->Member("URL \"History\"")->String(), "a\"b\\c\n\x01\xC3\xA9");
  EXPECT_EQ(one->Member("Visit Count")->Number(), -3.0);
  EXPECT_EQ(ParseIsoUtcText(*one->Member("Last Visited Time")->String()), visit);
  const auto two = ParseJson(lines[1]);
  ASSERT_TRUE(two);
  EXPECT_EQ(*two->Member("Visit Count")->String(), "");
  const auto three = ParseJson(lines[2]);
  ASSERT_TRUE(three);
  EXPECT_EQ(*three->Member("Visit Count")->String(), "7");  // a text where the store held one
  EXPECT_TRUE(std::holds_alternative<std::nullptr_t>(three->Member("Last Visited Time")->value));
}

TEST(ListExport, TheExtensionNamesTheFormat) {
  const std::pair<const char*, std::optional<ExportFormat>> names[] = {
      {"C:\\a\\list.csv", ExportFormat::kCsv},
      {"LIST.CSV", ExportFormat::kCsv},
      {"list.tsv", ExportFormat::kTabSeparated},
      {"list.txt", ExportFormat::kTabSeparated},
      {"list.htm", ExportFormat::kHtml},
      {"list.HTML", ExportFormat::kHtml},
      {"rows.JSONL", ExportFormat::kJsonLines},
      {"list.csv.bak", std::nullopt},
      {"list", std::nullopt},
      {"csv", std::nullopt},
  };
  for (const auto& [name, format] : names) EXPECT_EQ(ExportFormatOfName(name), format) << name;
}

}  // namespace
}  // namespace tmr
