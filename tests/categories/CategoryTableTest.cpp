#include <gtest/gtest.h>

#include <new>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "categories/CategoryTable.h"
#include "categories/ShowCategory.h"
#include "support/RecordingList.h"

namespace tmr {
namespace {

TEST(CategoryTable, DoubleClickActionsByCategory) {
  const std::set<Category> openFirstColumn{
      Category::kIeUrlHistory,     Category::kIeTypedUrls,       Category::kIeIndexFile,
      Category::kRecentDocuments,  Category::kFirefoxUrlHistory, Category::kFirefoxDownloads,
      Category::kChromeUrlHistory, Category::kChromeDownloads,   Category::kEdgeUrlHistory,
      Category::kEdgeDownloads,    Category::kJumpLists,         Category::kRecycleBin,
      Category::kOfficeDocuments};
  for (const CategoryInfo& category : Categories().categories) {
    RowAction expected = openFirstColumn.count(category.id) ? RowAction::kOpenFirstColumn : RowAction::kNothing;
    if (category.id == Category::kIeCookies) expected = RowAction::kOpenCookieFolder;
    if (category.id == Category::kTimeline) expected = RowAction::kAsItsCategory;
    EXPECT_EQ(category.rowAction, expected) << category.key;
  }
}

TEST(CategoryTable, KeysAnchorsAndGroupsHoldTogether) {
  const CategoryTable& table = Categories();
  std::set<std::string_view> keys;
  std::set<std::string_view> anchors;
  for (const TreeGroupInfo& group : table.treeGroups) {
    EXPECT_TRUE(keys.insert(group.key).second) << group.key;
    EXPECT_EQ(table.FindTreeGroup(group.key), &group);
    EXPECT_EQ(table.FindCategory(group.key), nullptr);
  }
  for (const CategoryInfo& category : table.categories) {
    EXPECT_TRUE(keys.insert(category.key).second) << category.key;
    EXPECT_TRUE(anchors.insert(category.report.anchor).second) << category.report.anchor;
    EXPECT_EQ(table.FindCategory(category.key), &category);
    EXPECT_EQ(&table.Of(category.id), &category);
    EXPECT_NE(category.read, nullptr) << category.key;
    EXPECT_FALSE(category.columns.empty()) << category.key;
    // A section of cells takes them from the row the reader gives.
    for (const ReportCellInfo& cell : category.report.cells) {
      EXPECT_LT(cell.field, category.columns.size()) << category.key;
    }
    EXPECT_EQ(category.report.rows == ReportRows::kSingleCell, category.report.cells.empty()) << category.key;
  }
  EXPECT_EQ(table.FindCategory("A1"), nullptr);
  EXPECT_EQ(table.FindCategory(""), nullptr);
  // Every report group has a box and sections, in the order the page lists them.
  for (const ReportGroupInfo& group : table.reportGroups) {
    std::size_t sections = 0;
    for (const CategoryInfo& category : table.categories) sections += category.report.group == group.id;
    EXPECT_GT(sections, 0u) << group.boxText;
  }
}

// The timeline takes a category's rows by its time columns: each says what
// its time means, and a category with one feeds the timeline.
TEST(CategoryTable, EveryTimeColumnSaysWhatItsTimeMeans) {
  for (const CategoryInfo& category : Categories().categories) {
    // The timeline's own time is every other category's.
    if (category.id == Category::kTimeline) continue;
    bool hasTime = false;
    for (const ColumnInfo& column : category.columns) {
      const bool time = column.kind == CellKind::kTime;
      hasTime |= time;
      EXPECT_EQ(time, !column.timeMeaning.empty()) << category.key << " " << column.header;
    }
    EXPECT_EQ(category.feedsTimeline, hasTime) << category.key;
  }
}

// A reader that fails part-way in the list: the rows it gave stay, counted,
// and nothing escapes towards the window procedure.
TEST(ShowCategory, AFailingReaderKeepsItsRowsAndTheCount) {
  CategoryInfo category = Categories().Of(Category::kIeUrlHistory);
  category.read = [](const ReadContext&, RowSink& rows, ReadProgress&) -> ReadOutcome {
    rows.AddTextRow(std::vector<std::string_view>{"http://before.example/", "Before", "1/1/2020"});
    throw std::bad_alloc();
  };
  test::RecordingList list;
  EXPECT_NO_THROW(ShowCategory(category, list, list, {}));
  EXPECT_EQ(list.FirstColumn(), std::vector<std::string>{"http://before.example/"});
  EXPECT_EQ(list.panel2, "Total Records: 1");
  EXPECT_TRUE(list.listVisible);
}

}  // namespace
}  // namespace tmr
