#include <gtest/gtest.h>

#include "app/UpdateCheck.h"

namespace tmr {
namespace {

TEST(FormatSingle, SevenSignificantDigitsNoTrailingZeros) {
  EXPECT_EQ(FormatSingle(5.3f, "."), "5.3");
  EXPECT_EQ(FormatSingle(5.2f, "."), "5.2");
  EXPECT_EQ(FormatSingle(6.0f, "."), "6");
  EXPECT_EQ(FormatSingle(5.25f, "."), "5.25");
  EXPECT_EQ(FormatSingle(5.3f, ","), "5,3");
  EXPECT_EQ(FormatSingle(0.1f, "."), "0.1");
  EXPECT_EQ(FormatSingle(1234567.0f, "."), "1234567");
  EXPECT_EQ(FormatSingle(12345678.0f, "."), "1.234568E+07");
  EXPECT_EQ(FormatSingle(-2.5f, "."), "-2.5");
  EXPECT_EQ(FormatSingle(1.0f / 3.0f, "."), "0.3333333");
}

struct DecisionCase {
  std::optional<std::string> body;
  bool autoCheck;
  UpdateStep step;
  float version;
};

class DecideUpdateCases : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(DecideUpdateCases, FollowsTheVersionRules) {
  const DecisionCase& c = GetParam();
  UpdateDecision d = DecideUpdate(c.body, 5.2f, c.autoCheck);
  EXPECT_EQ(d.step, c.step) << (c.body ? *c.body : "<failed>") << (c.autoCheck ? " auto" : " asked");
  if (c.step == UpdateStep::kOfferNewVersion) {
    EXPECT_EQ(d.newVersion, c.version);
  }
}

INSTANTIATE_TEST_SUITE_P(Bodies, DecideUpdateCases,
                         ::testing::Values(DecisionCase{"5.3 word", false, UpdateStep::kOfferNewVersion, 5.3f},
                                           DecisionCase{"5.3 word", true, UpdateStep::kOfferNewVersion, 5.3f},
                                           DecisionCase{"5.2", false, UpdateStep::kLatestMessage, 0},
                                           DecisionCase{"5.2", true, UpdateStep::kNothing, 0},
                                           // Exactly 1 is the "nothing read" sentinel.
                                           DecisionCase{"1", false, UpdateStep::kFailedMessage, 0},
                                           DecisionCase{"1.0", false, UpdateStep::kFailedMessage, 0},
                                           DecisionCase{"1.0", true, UpdateStep::kNothing, 0},
                                           DecisionCase{std::nullopt, false, UpdateStep::kFailedMessage, 0},
                                           DecisionCase{std::nullopt, true, UpdateStep::kNothing, 0},
                                           DecisionCase{"", false, UpdateStep::kLatestMessage, 0},
                                           DecisionCase{"abc", false, UpdateStep::kLatestMessage, 0},
                                           DecisionCase{"abc", true, UpdateStep::kNothing, 0},
                                           DecisionCase{" \t\n5.25", true, UpdateStep::kOfferNewVersion, 5.25f},
                                           DecisionCase{"6", false, UpdateStep::kOfferNewVersion, 6.0f},
                                           DecisionCase{"&H6", false, UpdateStep::kOfferNewVersion, 6.0f},
                                           // Compared in single precision: 5.20000001 is the same number as 5.2.
                                           DecisionCase{"5.20000001", false, UpdateStep::kLatestMessage, 0},
                                           DecisionCase{"5.21", false, UpdateStep::kOfferNewVersion, 5.21f},
                                           // Beyond single precision: read as nothing, never as "INF".
                                           DecisionCase{"1e39", false, UpdateStep::kFailedMessage, 0},
                                           DecisionCase{"1e39", true, UpdateStep::kNothing, 0},
                                           DecisionCase{"-1e39", false, UpdateStep::kFailedMessage, 0},
                                           DecisionCase{"1e400", true, UpdateStep::kNothing, 0},
                                           DecisionCase{"&HFFFFFFFFFFFFFFFFFFFF", true, UpdateStep::kNothing, 0},
                                           DecisionCase{"3.4e38", false, UpdateStep::kOfferNewVersion, 3.4e38f}));

TEST(UpdateTexts, AreWordForWord) {
  EXPECT_EQ(FailedToConnectText(), "Failed to connect to server, please check your Internet connection");
  EXPECT_EQ(NewVersionQuestion(5.3f, "."),
            "A new version 5.3 is available for download now, would you like to download now?");
  EXPECT_EQ(LatestVersionText(5.2f, "."), "You are using the latest version 5.2 now");
  EXPECT_EQ(AboutVersionLine(5.2f, "."), "Version 5.2  build 1000");
  EXPECT_EQ(AboutVersionLine(5.2f, ","), "Version 5,2  build 1000");
}

}  // namespace
}  // namespace tmr
