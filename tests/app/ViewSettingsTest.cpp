#include <gtest/gtest.h>

#include "app/ViewSettings.h"

namespace tmr {
namespace {

TEST(ViewSettings, WindowPlaceReadsBackAndRefusesWhatNoWindowCouldBe) {
  const WindowPlace place{-8, 12, 900, 620, true};
  EXPECT_EQ(WindowPlaceText(place), "-8,12,900,620,1");
  EXPECT_EQ(ParseWindowPlace(WindowPlaceText(place)), place);
  EXPECT_EQ(ParseWindowPlace(" 0, 0, 200, 150, 0"), (WindowPlace{0, 0, 200, 150, false}));
  for (const char* bad : {"", "unknown value", "0,0,900,620", "0,0,900,620,0,1", "0,0,900,620,2", "0,0,199,620,0",
                          "0,0,900,149,0", "900,0,0,620,0", "0,0,9x0,620,0", "0,0,900,620,", "0,0,1e3,620,0",
                          "0,0,99999999999,620,0", "-2000000,0,0,620,0"}) {
    EXPECT_FALSE(ParseWindowPlace(bad)) << bad;
  }
}

TEST(ViewSettings, ColumnWidthsMustMatchTheColumns) {
  const int widths[] = {6000, 0, 1500};
  EXPECT_EQ(ColumnWidthsText(widths), "6000,0,1500");
  EXPECT_EQ(ParseColumnWidths("6000,0,1500", 3), (std::vector<int>{6000, 0, 1500}));
  EXPECT_EQ(ParseColumnWidths("30000", 1), (std::vector<int>{30000}));
  const std::pair<const char*, std::size_t> bad[] = {
      {"6000,0,1500", 2},   {"6000,0,1500", 4}, {"6000,,1500", 3}, {"6000,-1,1500", 3}, {"30001", 1}, {"", 1}, {"", 0},
      {"unknown value", 1},
  };
  for (auto [text, columns] : bad) EXPECT_FALSE(ParseColumnWidths(text, columns)) << text << " / " << columns;
}

TEST(ViewSettings, TreeWidthAndSwitch) {
  EXPECT_EQ(ParseTreeWidth("2820"), 2820);
  EXPECT_EQ(ParseTreeWidth(" 0 "), 0);
  for (const char* bad : {"", "-1", "30001", "28 20", "unknown value"}) EXPECT_FALSE(ParseTreeWidth(bad)) << bad;
  EXPECT_TRUE(ParseSwitch("1"));
  EXPECT_TRUE(ParseSwitch(" 1"));
  for (const char* off : {"0", "", "unknown value", "yes", "11"}) EXPECT_FALSE(ParseSwitch(off)) << off;
}

}  // namespace
}  // namespace tmr
