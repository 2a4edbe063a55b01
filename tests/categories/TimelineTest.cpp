#include <gtest/gtest.h>

#include <vector>

#include "categories/Timeline.h"
#include "core/CivilDate.h"
#include "report/ExportWriter.h"
#include "support/RecordingList.h"

namespace tmr {
namespace {

constexpr Instant Day(int year, int month, int day) {
  return DaysFromCivil({year, month, day}) * 86400 * kMicrosecondsPerSecond;
}

constexpr ColumnInfo kCookieColumns[] = {{"Host", 100},
                                         {"Name", 100},
                                         {"Created", 100, CellKind::kTime, "Cookie created"},
                                         {"Accessed", 100, CellKind::kTime, "Cookie last accessed"}};
constexpr ColumnInfo kVisitColumns[] = {
    {"URL", 100}, {"Count", 100, CellKind::kNumber}, {"When", 100, CellKind::kTime, "Visited"}};
constexpr ColumnInfo kNoColumns[] = {{"Text", 100}};

ReadOutcome Cookies(const ReadContext&, RowSink& rows, ReadProgress&) {
  const CellValue both[] = {CellValue::Text(".a.example"), CellValue::Text("id"), CellValue::Time(Day(2020, 1, 1)),
                            CellValue::Time(Day(2021, 1, 1))};
  // A creation time of zero (1601 or 1970 in its store) is no event.
  const CellValue oneTime[] = {CellValue::Text(".b.example"), CellValue::Text(""), CellValue::Time(Day(1601, 1, 1)),
                               CellValue::Time(Day(2020, 6, 1))};
  const CellValue noTime[] = {CellValue::Text(".c.example"), CellValue::Text("x"), CellValue::Text(""),
                              CellValue::Time(Day(2100, 1, 1))};
  rows.AddRow(both);
  rows.AddRow(oneTime);
  rows.AddRow(noTime);
  return ReadOutcome::kRead;
}

ReadOutcome Visits(const ReadContext&, RowSink& rows, ReadProgress&) {
  const CellValue visit[] = {CellValue::Text("http://v/"), CellValue::Number(3), CellValue::Time(Day(2020, 6, 1))};
  rows.AddRow(visit);
  return ReadOutcome::kRead;
}

ReadOutcome Untimed(const ReadContext&, RowSink& rows, ReadProgress&) {
  rows.AddRow("never listed");
  return ReadOutcome::kRead;
}

CategoryInfo Make(Category id, TreeGroup group, std::string_view node, std::span<const ColumnInfo> columns,
                  CategoryReader read, bool feeds) {
  CategoryInfo info{};
  info.id = id;
  info.treeGroup = group;
  info.nodeText = node;
  info.columns = columns;
  info.read = read;
  info.feedsTimeline = feeds;
  return info;
}

// Every time of every feeding row is an event of its own, newest first, the
// row's other cells joined beside it; rows of no time are counted, and a
// category that does not feed the timeline is not read.
TEST(Timeline, EveryTimeIsAnEventNewestFirst) {
  const CategoryInfo categories[] = {
      Make(Category::kFirefoxCookies, TreeGroup::kFirefox, "Cookies", kCookieColumns, Cookies, true),
      Make(Category::kIeTypedUrls, TreeGroup::kInternetExplorer, "Address Bar", kNoColumns, Untimed, false),
      Make(Category::kChromeUrlHistory, TreeGroup::kChrome, "URL History", kVisitColumns, Visits, true)};
  const TreeGroupInfo groups[] = {
      {TreeGroup::kInternetExplorer,
       "root",
       "Internet Explorer ",
       "Internet Explorer",
       ReportGroup::kInternetExplorer,
       {},
       {}},
      {TreeGroup::kFirefox, "root3", "Firefox", "Firefox", ReportGroup::kFirefox, {}, {}},
      {TreeGroup::kChrome, "root4", "Google Chrome", "Chrome", ReportGroup::kChrome, {}, {}}};
  const CategoryTable table{categories, groups, {}};
  for (bool listSorts : {false, true}) {
    test::RecordingList rows;
    ReadContext context;
    context.sinkSortsRows = listSorts;
    ReadTimeline(table, context, rows, rows);
    // Each row's time, then its texts (the times' texts are the platform's).
    using Row = std::pair<Instant, std::vector<std::string>>;
    std::vector<Row> expected = {{Day(2021, 1, 1), {"Cookie last accessed", "Firefox - Cookies", ".a.example", "id"}},
                                 {Day(2020, 6, 1), {"Cookie last accessed", "Firefox - Cookies", ".b.example", ""}},
                                 {Day(2020, 6, 1), {"Visited", "Chrome - URL History", "http://v/", "3"}},
                                 {Day(2020, 1, 1), {"Cookie created", "Firefox - Cookies", ".a.example", "id"}}};
    if (listSorts) {
      // In the order read: the list sorts them.
      expected = {expected[3], expected[0], expected[1], expected[2]};
    }
    std::vector<Row> got;
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
      ASSERT_EQ(rows.cells[i][0].kind, CellKind::kTime);
      got.push_back({rows.cells[i][0].value, {rows.rows[i].begin() + 1, rows.rows[i].end()}});
    }
    EXPECT_EQ(got, expected) << (listSorts ? "the list sorts" : "sorted here");
    EXPECT_EQ(rows.panel1, "1 row without a time left out");
  }
}

// The timeline's rows for a timeline server: message, ISO time with its
// offset, what the time means, microseconds, then the fields.
TEST(Timeline, TimesketchFormsCarryTheInstantExactly) {
  const Instant when = Day(2019, 4, 27) + 13 * 3600 * kMicrosecondsPerSecond + 250;
  const CellValue row[] = {CellValue::Time(when), CellValue::Text("Visited"), CellValue::Text("Chrome - URL History"),
                           CellValue::Text("http://x/?a=1,2"), CellValue::Text("Title \"quoted\"")};
  for (ExportFormat format : {ExportFormat::kTimesketchCsv, ExportFormat::kTimesketchJsonLines}) {
    std::string text;
    ExportWriter writer(format, {"Time", "Event", "Category", "Item", "Details"}, UtcIsoCellFormat(),
                        [&](std::string_view bytes) { text += bytes; });
    writer.Begin("");
    writer.AddRow(row);
    writer.End();
    if (format == ExportFormat::kTimesketchCsv) {
      EXPECT_EQ(text,
                "message,datetime,timestamp_desc,timestamp,category,item,details\n"
                "\"Visited: http://x/?a=1,2\",2019-04-27T13:00:00.000250+00:00,Visited,1556370000000250,"
                "Chrome - URL History,\"http://x/?a=1,2\",\"Title \"\"quoted\"\"\"\n");
    } else {
      EXPECT_EQ(text, R"({"message":"Visited: http://x/?a=1,2","datetime":"2019-04-27T13:00:00.000250+00:00",)"
                      R"("timestamp_desc":"Visited","timestamp":1556370000000250,"category":"Chrome - URL History",)"
                      R"("item":"http://x/?a=1,2","details":"Title \"quoted\""})"
                      "\n");
    }
  }
}

}  // namespace
}  // namespace tmr
