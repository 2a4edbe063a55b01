#include <gtest/gtest.h>

#include "app/MainLayout.h"

namespace tmr {
namespace {

TEST(MainLayout, FollowsTheInnerSize) {
  MainLayout l = ComputeMainLayout(13020, 8055);
  EXPECT_EQ(l.treeHeight, 7305);
  EXPECT_EQ(l.listHeight, 7305);
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
  EXPECT_EQ(narrow.listHeight, 7305);
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
