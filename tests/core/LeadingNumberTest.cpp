#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "core/LeadingNumber.h"

namespace tmr {
namespace {

struct NumberCase {
  const char* text;
  double value;
  bool found;
};

class LeadingNumberCases : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumberCases, ReadsTheLeadingNumber) {
  const NumberCase& c = GetParam();
  LeadingNumber n = ParseLeadingNumber(c.text);
  EXPECT_EQ(n.found, c.found) << '"' << c.text << '"';
  EXPECT_DOUBLE_EQ(n.value, c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    VersionBodies, LeadingNumberCases,
    ::testing::Values(NumberCase{"5.3 word", 5.3, true}, NumberCase{"5.2", 5.2, true}, NumberCase{"1", 1.0, true},
                      NumberCase{"1.0", 1.0, true}, NumberCase{"", 0.0, false}, NumberCase{"abc", 0.0, false},
                      NumberCase{" \t\n5.25", 5.25, true}, NumberCase{"6", 6.0, true}, NumberCase{"&H6", 6.0, true},
                      NumberCase{"5.3\r\n", 5.3, true},
                      // Blanks, tabs and line feeds vanish wherever they stand.
                      NumberCase{"5 . 3", 5.3, true}, NumberCase{"1 2", 12.0, true}, NumberCase{"5\n.\t2", 5.2, true},
                      // A carriage return is not ignored: it ends the number.
                      NumberCase{"5\r.3", 5.0, true},
                      // One decimal point only.
                      NumberCase{"1.2.3", 1.2, true}, NumberCase{".5", 0.5, true}, NumberCase{"-2.5x", -2.5, true},
                      NumberCase{"+7", 7.0, true}, NumberCase{"-", 0.0, false}, NumberCase{"1e3", 1000.0, true},
                      NumberCase{"2.5E-1", 0.25, true}, NumberCase{"3d2", 300.0, true}, NumberCase{"4e", 4.0, true},
                      NumberCase{"4e+", 4.0, true},
                      // Radix forms keep the width they fit.
                      NumberCase{"&HFF", 255.0, true}, NumberCase{"&hffff", -1.0, true},
                      NumberCase{"&H10000", 65536.0, true}, NumberCase{"&HFFFFFFFF", -1.0, true},
                      NumberCase{"&O17", 15.0, true}, NumberCase{"&O8", 0.0, false}, NumberCase{"&X1", 0.0, false},
                      NumberCase{"v5.3", 0.0, false}));

TEST(RoundToInt32, HalvesGoToEvenAndLargeValuesClamp) {
  EXPECT_EQ(RoundToInt32(2.5), 2);
  EXPECT_EQ(RoundToInt32(3.5), 4);
  EXPECT_EQ(RoundToInt32(-2.5), -2);
  EXPECT_EQ(RoundToInt32(7.49), 7);
  EXPECT_EQ(RoundToInt32(1e10), INT32_MAX);
  EXPECT_EQ(RoundToInt32(-1e10), INT32_MIN);
  EXPECT_EQ(RoundToInt32(HUGE_VAL), INT32_MAX);
  EXPECT_FALSE(RoundToInt32(NAN).has_value());
}

}  // namespace
}  // namespace tmr
