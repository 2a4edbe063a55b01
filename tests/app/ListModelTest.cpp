#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/ListModel.h"

namespace tmr {
namespace {

std::string Text(const ListModel& m, size_t row, size_t column) {
  std::string scratch;
  return std::string(m.CellText(row, column, scratch));
}

std::vector<std::string> Column(const ListModel& m, size_t column) {
  std::vector<std::string> cells;
  for (size_t r = 0; r < m.RowCount(); ++r) cells.emplace_back(Text(m, r, column));
  return cells;
}

std::vector<std::string> Shown(const ListModel& m, size_t column = 0) {
  std::vector<std::string> cells;
  for (size_t r = 0; r < m.ShownCount(); ++r) cells.emplace_back(Text(m, r, column));
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

// The order texts have always been sorted in: a walk of both texts, runs of
// digits compared by value, other bytes folded to lower case (ASCII).
int WalkedOrder(std::string_view a, std::string_view b) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  auto fold = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      while (a[i] == '0' && i + 1 < a.size() && digit(a[i + 1])) ++i;
      while (b[j] == '0' && j + 1 < b.size() && digit(b[j + 1])) ++j;
      size_t ai = i;
      size_t bj = j;
      while (ai < a.size() && digit(a[ai])) ++ai;
      while (bj < b.size() && digit(b[bj])) ++bj;
      if (ai - i != bj - j) return ai - i < bj - j ? -1 : 1;
      if (int c = a.substr(i, ai - i).compare(b.substr(j, bj - j)); c != 0) return c < 0 ? -1 : 1;
      i = ai;
      j = bj;
      continue;
    }
    if (fold(a[i]) != fold(b[j])) return fold(a[i]) < fold(b[j]) ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

// Random texts of digits, letters of both cases, punctuation and bytes above
// 0x7F, some sharing long prefixes, some with runs of hundreds of digits:
// the sort's eight-byte keys order them as the walk does.
TEST(CompareCells, KeysOrderTextsAsTheWalkDoes) {
  std::mt19937 random(11);
  const std::string alphabet = "0123456789aAbBzZ/._- \x7F\xC3\xA9";
  auto text = [&] {
    std::string t = random() % 3 == 0 ? "https://www.site" : "";
    const std::size_t length = random() % 24;
    for (std::size_t i = 0; i < length; ++i) t += alphabet[random() % alphabet.size()];
    if (random() % 50 == 0) t += std::string(250 + random() % 300, static_cast<char>('0' + random() % 10));
    return t;
  };
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) texts.push_back(text());
  for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
    ASSERT_EQ(CompareCells(texts[i], texts[i + 1]), WalkedOrder(texts[i], texts[i + 1]))
        << texts[i] << " | " << texts[i + 1];
  }
  for (bool descending : {false, true}) {
    ListModel m;
    m.AddColumn("Text", 100);
    m.AddColumn("Index", 100);
    for (std::size_t i = 0; i < texts.size(); ++i) m.AddRow({texts[i], std::to_string(i)});
    std::vector<std::size_t> expected(texts.size());
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = i;
    std::stable_sort(expected.begin(), expected.end(), [&](std::size_t x, std::size_t y) {
      const int order = WalkedOrder(texts[x], texts[y]);
      return descending ? order > 0 : order < 0;
    });
    if (descending) m.ClickColumn(1);  // sorted by another column first: no reversal of sorted rows
    m.ClickColumn(0);
    if (descending) m.ClickColumn(0);
    for (std::size_t r = 0; r < expected.size(); ++r) {
      ASSERT_EQ(Text(m, r, 1), std::to_string(expected[r])) << r << (descending ? " descending" : "");
    }
  }
}

// Times sort as times and numbers as numbers, not as their texts; empty
// cells come first, texts in a number column last; the other way round
// when clicked again.
TEST(ListModel, TypedCellsSortByValue) {
  ListModel m;
  m.AddColumn("When", 100);
  m.AddColumn("Count", 100);
  const Instant day = 86400LL * kMicrosecondsPerSecond;
  const struct {
    CellValue when;
    CellValue count;
  } rows[] = {
      {CellValue::Time(3 * day), CellValue::Number(10)},      {CellValue::Time(-day), CellValue::Number(9)},
      {CellValue::Text(""), CellValue::Text("n/a")},          {CellValue::Time(3 * day), CellValue::Number(-1)},
      {CellValue::Time(2 * day + 1), CellValue::Number(100)},
  };
  for (const auto& row : rows) {
    const CellValue cells[] = {row.when, row.count};
    m.AddRow(cells);
  }
  m.ClickColumn(0);
  EXPECT_EQ(Column(m, 1), (std::vector<std::string>{"n/a", "9", "100", "10", "-1"}));
  m.ClickColumn(0);
  EXPECT_EQ(Column(m, 1), (std::vector<std::string>{"10", "-1", "100", "9", "n/a"}));
  m.ClickColumn(1);
  EXPECT_EQ(Column(m, 1), (std::vector<std::string>{"-1", "9", "10", "100", "n/a"}));
  EXPECT_EQ(Column(m, 0)[0], "1970-01-04 00:00:00");
}

// The filter looks for a time's text as the list shows it, and looks again
// when the format changes (times in UTC instead of local time).
TEST(ListModel, FilterFindsTimesInTheirShownTextAndFollowsTheFormat) {
  struct Switchable final : CellFormat {
    bool shifted = false;
    void AppendTime(std::string& out, Instant instant) const override {
      UtcIsoCellFormat().AppendTime(out, instant + (shifted ? 3600LL * kMicrosecondsPerSecond : 0));
    }
  } format;
  ListModel m(format);
  m.AddColumn("URL", 100);
  m.AddColumn("When", 100);
  const CellValue early[] = {CellValue::Text("a"), CellValue::Time(0)};
  const CellValue later[] = {CellValue::Text("b"), CellValue::Time(3600LL * kMicrosecondsPerSecond)};
  m.AddRow(early);
  m.AddRow(later);
  m.SetFilter("01:00:00");
  m.FinishFilter();
  EXPECT_EQ(Shown(m), (std::vector<std::string>{"b"}));
  format.shifted = true;
  m.RefreshFilter();
  EXPECT_TRUE(m.FilterPending());
  m.FinishFilter();
  EXPECT_EQ(Shown(m), (std::vector<std::string>{"a"}));
}

// A time range keeps the rows whose time lies in it, in their order, with
// the text filter; over rows sorted by the time (where it looks at the
// sorted run of the range alone) as over any others, rows added since
// included.
TEST(ListModel, TimeRangeKeepsTheRowsOfItsTimesSortedOrNot) {
  std::mt19937 random(5);
  for (int sorting = 0; sorting < 3; ++sorting) {
    ListModel m;
    m.AddColumn("When", 100);
    m.AddColumn("Id", 100);
    std::vector<std::pair<CellValue, std::string>> rows;
    auto add = [&](int count) {
      for (int i = 0; i < count; ++i) {
        const int pick = static_cast<int>(random() % 20);
        const CellValue when = pick == 0   ? CellValue::Text("")
                               : pick == 1 ? CellValue::Text("n/a")
                                           : CellValue::Time(static_cast<Instant>(random() % 1000));
        // Appended, not "x" + text: GCC 12 warns falsely (-Wrestrict) on that.
        std::string id(1, random() % 2 ? 'x' : 'y');
        id += std::to_string(rows.size());
        const CellValue cells[] = {when, CellValue::Text(id)};
        m.AddRow(cells);
        rows.emplace_back(when, id);
      }
    };
    add(2000);
    if (sorting > 0) m.SortBy(0, sorting == 2);
    for (int trial = 0; trial < 40; ++trial) {
      std::optional<Instant> from = random() % 4 ? std::optional<Instant>(random() % 1000) : std::nullopt;
      std::optional<Instant> to = random() % 4 ? std::optional<Instant>(random() % 1000) : std::nullopt;
      const std::string text = trial % 3 == 0 ? "x" : "";
      if (trial == 20) add(100);  // rows after the sort
      // The model's order of all rows, each tested here.
      std::vector<std::string> expected;
      std::vector<std::string> all;
      m.SetFilter("");
      m.SetTimeRange(0, std::nullopt, std::nullopt);
      for (std::size_t r = 0; r < m.ShownCount(); ++r) all.push_back(Text(m, r, 1));
      for (const std::string& id : all) {
        const CellValue when = rows[std::stoul(id.substr(1))].first;
        const bool timed = when.Kind() == CellKind::kTime;
        const bool inRange =
            (!from && !to) || (timed && (!from || when.TimeValue() >= *from) && (!to || when.TimeValue() <= *to));
        if (inRange && id.find(text) != std::string::npos) expected.push_back(id);
      }
      m.SetFilter(text);
      m.SetTimeRange(0, from, to);
      m.FinishFilter();
      std::vector<std::string> shown;
      for (std::size_t r = 0; r < m.ShownCount(); ++r) shown.push_back(Text(m, r, 1));
      ASSERT_EQ(shown, expected) << "sorting " << sorting << " trial " << trial;
    }
  }
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
    for (std::size_t r = 0; r < m.RowCount(); ++r) shown.emplace_back(Text(m, r, 0), Text(m, r, 1));
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
  EXPECT_EQ(Text(m, 0, 1), "");
  EXPECT_EQ(Text(m, 5, 0), "");
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
    EXPECT_EQ(Text(m, 2 + length, 0), cells[length]) << length;
    EXPECT_EQ(Text(m, 2 + length, 1), cells[length] + "|") << length;
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
  EXPECT_EQ(Text(m, 0, 0), "");
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
