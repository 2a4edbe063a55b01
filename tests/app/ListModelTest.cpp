#include <gtest/gtest.h>

#include <algorithm>

#include "app/ListModel.h"

namespace tmr {
namespace {

std::vector<std::string> Column(const ListModel& m, size_t column) {
  std::vector<std::string> cells;
  for (size_t r = 0; r < m.RowCount(); ++r) cells.emplace_back(m.Cell(r, column));
  return cells;
}

std::vector<std::string> Shown(const ListModel& m, size_t column = 0) {
  std::vector<std::string> cells;
  for (size_t r = 0; r < m.ShownCount(); ++r) cells.emplace_back(m.Cell(r, column));
  return cells;
}

// Two columns; each row's second cell is "title " and its first.
ListModel Filled(std::initializer_list<std::string> firsts) {
  ListModel m;
  m.AddColumn("URL", 5000);
  m.AddColumn("Title", 5000);
  for (const std::string& first : firsts) m.AddRow({first, "title " + first});
  return m;
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

// Sorted, clicked again, sorted by another column, given rows after a
// sort: always the order a stable sort of the rows as they stood gives.
TEST(ListModel, EveryClickGivesTheStableSortOfTheRowsAsTheyStood) {
  const std::vector<std::string> values = {"a", "B", "10", "9", "b", "", "A", "010"};
  ListModel m;
  m.AddColumn("Key", 100);
  m.AddColumn("Id", 100);
  std::vector<std::pair<std::string, std::string>> expected;
  auto add = [&](int count) {
    for (int i = 0; i < count; ++i) {
      std::string key = values[(expected.size() * 7 + expected.size() / 3) % values.size()];
      std::string id = "row" + std::to_string(expected.size());
      m.AddRow({key, id});
      expected.emplace_back(key, id);
    }
  };
  auto sortExpected = [&](int column, bool descending) {
    std::stable_sort(expected.begin(), expected.end(), [&](const auto& x, const auto& y) {
      const int order = column == 0 ? CompareCells(x.first, y.first) : CompareCells(x.second, y.second);
      return descending ? order > 0 : order < 0;
    });
  };
  auto check = [&](const char* step) {
    std::vector<std::pair<std::string, std::string>> shown;
    for (std::size_t r = 0; r < m.RowCount(); ++r) shown.emplace_back(m.Cell(r, 0), m.Cell(r, 1));
    EXPECT_EQ(shown, expected) << step;
  };
  add(300);
  for (bool descending : {false, true, false, true}) {
    m.ClickColumn(0);
    sortExpected(0, descending);
    check(descending ? "key, descending" : "key");
  }
  add(50);  // after the sort, unsorted
  m.ClickColumn(0);
  sortExpected(0, false);
  check("key again, with rows added");
  m.ClickColumn(1);
  sortExpected(1, false);
  m.ClickColumn(1);
  sortExpected(1, true);
  m.ClickColumn(0);
  sortExpected(0, false);
  check("key after the ids, descending");
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

  // Cells of every length up to a few copy widths, side by side, each read
  // back whole and without its neighbours' bytes.
  std::vector<std::string> cells;
  for (std::size_t length = 0; length <= 40; ++length) {
    std::string cell;
    for (std::size_t i = 0; i < length; ++i) cell += static_cast<char>('!' + (length * 7 + i) % 90);
    cells.push_back(cell);
    m.AddRow({cell, cell + "|"});
  }
  for (std::size_t length = 0; length <= 40; ++length) {
    EXPECT_EQ(m.Cell(2 + length, 0), cells[length]) << length;
    EXPECT_EQ(m.Cell(2 + length, 1), cells[length] + "|") << length;
  }

  m.Clear();
  EXPECT_EQ(m.RowCount(), 0u);
  EXPECT_EQ(m.ColumnCount(), 0u);
  EXPECT_EQ(m.SortKey(), -1);
}

TEST(ListModel, FilterKeepsRowsHoldingTheTextInAShownCell) {
  ListModel m = Filled({"http://Google.com/", "http://example.com/", "mail"});
  m.AddRow({"x", "y", "google in a cell past the columns"});
  m.AddRow({std::string("before\0google after the NUL", 28), "z"});
  m.SetFilter("GOOGLE");
  EXPECT_TRUE(m.FilterPending());
  EXPECT_EQ(m.ShownCount(), 5u);  // until the pass is complete
  EXPECT_TRUE(m.ContinueFilter(100));
  EXPECT_TRUE(m.Filtering());
  EXPECT_EQ(Shown(m), (std::vector<std::string>{"http://Google.com/"}));
  EXPECT_EQ(m.RowCount(), 5u);

  m.SetFilter("Title HTTP://E");  // the second column
  m.FinishFilter();
  EXPECT_EQ(Shown(m), (std::vector<std::string>{"http://example.com/"}));
  m.SetFilter("nowhere");
  m.FinishFilter();
  EXPECT_EQ(m.ShownCount(), 0u);
  EXPECT_EQ(m.Cell(0, 0), "");
  m.SetFilter("");
  EXPECT_FALSE(m.Filtering());
  EXPECT_FALSE(m.FilterPending());
  EXPECT_EQ(m.ShownCount(), 5u);
}

TEST(ListModel, APassRunsInSlicesAndTakesRowsAddedMeanwhile) {
  for (const char* first : {"a", "ab"}) {  // a pass over every row, and one narrowing the shown rows
    ListModel m = Filled({"abc1", "xyz", "abc2", "ab"});
    m.SetFilter(first);
    m.FinishFilter();
    m.SetFilter("ABC");
    EXPECT_FALSE(m.ContinueFilter(1)) << first;
    m.AddRow({"abc3", ""});
    m.AddRow({"zzz", ""});
    int slices = 1;
    while (!m.ContinueFilter(1)) ++slices;
    EXPECT_GE(slices, 3) << first;
    EXPECT_EQ(Shown(m), (std::vector<std::string>{"abc1", "abc2", "abc3"})) << first;
    // Once complete, a new row is tested as it comes.
    m.AddRow({"ABC4", ""});
    m.AddRow({"no", ""});
    EXPECT_EQ(Shown(m), (std::vector<std::string>{"abc1", "abc2", "abc3", "ABC4"})) << first;
  }
}

TEST(ListModel, ANewFillKeepsTheFilterAndSortingKeepsItsRows) {
  ListModel m = Filled({"b10", "a", "b9", "c"});
  m.SetFilter("b");
  m.ClickColumn(0);  // completes the pass first
  EXPECT_FALSE(m.FilterPending());
  EXPECT_EQ(Shown(m), (std::vector<std::string>{"b9", "b10"}));
  m.ClickColumn(0);
  EXPECT_EQ(Shown(m), (std::vector<std::string>{"b10", "b9"}));
  EXPECT_EQ(Shown(m, 1), (std::vector<std::string>{"title b10", "title b9"}));

  m.SetFilter("b1");
  m.Clear();  // a new fill while a pass is pending
  EXPECT_EQ(m.FilterText(), "b1");
  m.AddColumn("URL", 5000);
  m.AddRow({"b1"});
  m.AddRow({"b2"});
  m.AddRow({"B11"});
  EXPECT_FALSE(m.FilterPending());
  EXPECT_EQ(Shown(m), (std::vector<std::string>{"b1", "B11"}));
  m.SetFilter("");
  EXPECT_EQ(Shown(m), (std::vector<std::string>{"b1", "b2", "B11"}));
}

}  // namespace
}  // namespace tmr
