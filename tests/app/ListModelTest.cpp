#include <gtest/gtest.h>

#include "app/ListModel.h"

namespace tmr {
namespace {

std::vector<std::string> Column(const ListModel& m, size_t column) {
  std::vector<std::string> cells;
  for (size_t r = 0; r < m.RowCount(); ++r) cells.emplace_back(m.Cell(r, column));
  return cells;
}

TEST(CompareCells, IgnoresCaseAndComparesNumbersByValue) {
  EXPECT_LT(CompareCells("9", "10"), 0);
  EXPECT_LT(CompareCells("file2.txt", "file10.txt"), 0);
  EXPECT_EQ(CompareCells("ABC", "abc"), 0);
  EXPECT_LT(CompareCells("abc", "abd"), 0);
  EXPECT_LT(CompareCells("", "a"), 0);
  EXPECT_LT(CompareCells("b", "B0"), 0);
  EXPECT_EQ(CompareCells("007", "7"), 0);
  EXPECT_LT(CompareCells("0", "00001"), 0);
  EXPECT_LT(CompareCells("99999999999999999999", "100000000000000000000"), 0);
}

TEST(ListModel, HeaderClickSortsThenReverses) {
  ListModel m;
  m.AddColumn("URL", 5000);
  m.AddColumn("Count", 1000);
  m.AddColumn("Title", 5000);
  m.AddRow({"b", "10", "x"});
  m.AddRow({"a", "9", "y"});
  m.AddRow({"c", "100", "x"});
  EXPECT_EQ(m.SortKey(), -1);

  m.ClickColumn(2);  // the third header
  EXPECT_EQ(m.SortKey(), 2);
  EXPECT_FALSE(m.SortDescending());
  // Equal titles keep their order: b before c.
  EXPECT_EQ(Column(m, 0), (std::vector<std::string>{"b", "c", "a"}));

  m.ClickColumn(1);
  EXPECT_EQ(m.SortKey(), 1);
  EXPECT_EQ(Column(m, 1), (std::vector<std::string>{"9", "10", "100"}));
  m.ClickColumn(1);
  EXPECT_TRUE(m.SortDescending());
  EXPECT_EQ(Column(m, 1), (std::vector<std::string>{"100", "10", "9"}));
}

TEST(ListModel, ShortRowsAndClearing) {
  ListModel m;
  m.AddColumn("A", 100);
  m.AddColumn("B", 100);
  m.AddRow({"only"});
  m.AddRow({"z", "1"});
  EXPECT_EQ(m.Cell(0, 1), "");
  EXPECT_EQ(m.Cell(5, 0), "");
  m.ClickColumn(1);
  EXPECT_EQ(Column(m, 0), (std::vector<std::string>{"only", "z"}));
  m.ClickColumn(7);  // no such column: sorts every row as empty, keeps order
  EXPECT_EQ(Column(m, 0), (std::vector<std::string>{"only", "z"}));

  m.Clear();
  EXPECT_EQ(m.RowCount(), 0u);
  EXPECT_EQ(m.ColumnCount(), 0u);
  EXPECT_EQ(m.SortKey(), -1);
}

}  // namespace
}  // namespace tmr
