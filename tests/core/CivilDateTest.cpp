#include <gtest/gtest.h>

#include "core/CivilDate.h"

namespace tmr {
namespace {

TEST(CivilDate, DayCountsRoundTripAcrossLeapRules) {
  EXPECT_EQ(DaysFromCivil({1970, 1, 1}), 0);
  EXPECT_EQ(DaysFromCivil({2000, 3, 1}) - DaysFromCivil({2000, 2, 28}), 2);  // 2000 is leap
  EXPECT_EQ(DaysFromCivil({1900, 3, 1}) - DaysFromCivil({1900, 2, 28}), 1);  // 1900 is not
  EXPECT_EQ(DaysFromCivil({2027, 1, 1}) - DaysFromCivil({2026, 12, 31}), 1);
  for (int64_t d = -800000; d <= 800000; d += 997) {
    EXPECT_EQ(DaysFromCivil(CivilFromDays(d)), d);
  }
}

struct DateCase {
  const char* text;
  const char* picture;
  std::optional<CivilDate> expected;
};

class ShortDateCases : public ::testing::TestWithParam<DateCase> {};

TEST_P(ShortDateCases, ReadsFieldsInThePicturesOrder) {
  const DateCase& c = GetParam();
  EXPECT_EQ(ParseShortDate(c.text, c.picture), c.expected) << c.text << " with " << c.picture;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ShortDateCases,
    ::testing::Values(DateCase{"12/8/2026", "M/d/yyyy", CivilDate{2026, 12, 8}},
                      DateCase{"8.12.2026", "dd.MM.yyyy", CivilDate{2026, 12, 8}},
                      DateCase{"08.12.2026", "d.M.yyyy", CivilDate{2026, 12, 8}},
                      DateCase{"2026/12/08", "yyyy/MM/dd", CivilDate{2026, 12, 8}},
                      DateCase{"08/12/26", "dd/MM/yy", CivilDate{2026, 12, 8}},
                      DateCase{"1/2/99", "M/d/yy", CivilDate{1999, 1, 2}},
                      DateCase{"8. 12. 2026", "d'. 'M'. 'yyyy", CivilDate{2026, 12, 8}},
                      // An ISO date is understood under any picture.
                      DateCase{"2026-12-08", "M/d/yyyy", CivilDate{2026, 12, 8}},
                      DateCase{"2/30/2026", "M/d/yyyy", std::nullopt}, DateCase{"13/1/2026", "M/d/yyyy", std::nullopt},
                      DateCase{"12/8", "M/d/yyyy", std::nullopt}, DateCase{"soon", "M/d/yyyy", std::nullopt},
                      DateCase{"1/2/3/4", "M/d/yyyy", std::nullopt}, DateCase{"12/8/20260", "M/d/yyyy", std::nullopt}));

TEST(ShouldAutoCheck, RunsOnlyWhenMoreThanTheIntervalHasPassed) {
  CivilDate first{2026, 12, 1};
  EXPECT_FALSE(ShouldAutoCheck(first, {2026, 12, 8}, 7));
  EXPECT_TRUE(ShouldAutoCheck(first, {2026, 12, 9}, 7));
  EXPECT_FALSE(ShouldAutoCheck(first, first, 0));
  EXPECT_FALSE(ShouldAutoCheck(first, first, 7));
  EXPECT_TRUE(ShouldAutoCheck(first, first, -1));                            // a negative interval checks every start
  EXPECT_TRUE(ShouldAutoCheck(CivilDate{2026, 11, 30}, {2026, 12, 8}, 7));   // across a month
  EXPECT_FALSE(ShouldAutoCheck(CivilDate{2026, 12, 31}, {2026, 12, 8}, 7));  // a date in the future
  EXPECT_TRUE(ShouldAutoCheck(std::nullopt, first, 7));
  EXPECT_TRUE(ShouldAutoCheck(std::nullopt, first, INT32_MAX));
}

}  // namespace
}  // namespace tmr
