#include <gtest/gtest.h>

#include "app/MainLayout.h"

namespace tmr {
namespace {

TEST(MainLayout, FollowsTheInnerSize) {
  MainLayout l = ComputeMainLayout(13020, 8055);
  EXPECT_EQ(l.treeHeight, 7305);
  EXPECT_EQ(l.listHeight, 6930);  // below the filter box
  EXPECT_EQ(l.listLeft, 3000);
  EXPECT_EQ(l.listWidth, 9820);
  EXPECT_EQ(l.panel1Width, 10620);
  EXPECT_EQ(l.labelLeft, 8520);
  EXPECT_EQ(l.labelTop, 7555);
  EXPECT_EQ(l.cancelLeft, 9920);
  EXPECT_EQ(l.cancelTop, 7825);
}

TEST(MainLayout, RefusedSizesSkipOnlyTheirOwnLine) {
  // Narrower than 3200 twips: the list keeps its width, the rest applies.
  MainLayout narrow = ComputeMainLayout(3000, 8055);
  EXPECT_FALSE(narrow.listWidth.has_value());
  EXPECT_EQ(narrow.panel1Width, 600);
  EXPECT_EQ(narrow.listHeight, 6930);
  EXPECT_EQ(narrow.labelLeft, -1500);

  MainLayout exact = ComputeMainLayout(3200, 750);
  EXPECT_EQ(exact.listWidth, 0);
  EXPECT_EQ(exact.treeHeight, 0);

  // Minimised: every size is refused, positions may go negative.
  MainLayout tiny = ComputeMainLayout(0, 0);
  EXPECT_FALSE(tiny.treeHeight.has_value());
  EXPECT_FALSE(tiny.listHeight.has_value());
  EXPECT_FALSE(tiny.listWidth.has_value());
  EXPECT_FALSE(tiny.panel1Width.has_value());
  EXPECT_EQ(tiny.cancelLeft, -3100);
  EXPECT_EQ(tiny.cancelTop, -230);
}

TEST(MainLayout, TheTreeWidthMovesTheListAndStaysWithinBounds) {
  MainLayout wide = ComputeMainLayout(13020, 8055, 5000);
  EXPECT_EQ(wide.listLeft, 5180);
  EXPECT_EQ(wide.listWidth, 7640);
  EXPECT_EQ(wide.treeHeight, 7305);
  // A tree wider than the window leaves the list's width as it is.
  EXPECT_FALSE(ComputeMainLayout(4000, 8055, 5000).listWidth.has_value());

  const std::pair<int, int> clamps[] = {{5000, 5000}, {100, 1200}, {-7, 1200}, {20000, 11140}, {11140, 11140}};
  for (auto [requested, kept] : clamps) EXPECT_EQ(ClampTreeWidth(requested, 13020), kept) << requested;
  EXPECT_EQ(ClampTreeWidth(5000, 2000), 1200);  // a tiny window still keeps the narrowest tree
}

TEST(MainLayout, TwipsConvertWithTheDpi) {
  EXPECT_EQ(TwipsToPixels(13020, 96), 868);
  EXPECT_EQ(TwipsToPixels(8055, 96), 537);
  EXPECT_EQ(TwipsToPixels(1440, 144), 144);
  EXPECT_EQ(PixelsToTwips(868, 96), 13020);
  EXPECT_EQ(PixelsToTwips(144, 144), 1440);
  EXPECT_EQ(PixelsToTwips(10, 0), 0);
}

}  // namespace
}  // namespace tmr
