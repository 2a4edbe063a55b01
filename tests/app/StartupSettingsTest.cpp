#include <gtest/gtest.h>

#include <climits>

#include "app/StartupSettings.h"

namespace tmr {
namespace {

TEST(ResolveReportFolder, EmptyOrMissingFallsBackToDocumentsAndIsWrittenBack) {
  auto stored = ResolveReportFolder("D:\\Reports", "C:\\Users\\me\\Documents\\");
  EXPECT_EQ(stored.folder, "D:\\Reports");
  EXPECT_FALSE(stored.writeBack);

  auto empty = ResolveReportFolder("", "C:\\Users\\me\\Documents\\");
  EXPECT_EQ(empty.folder, "C:\\Users\\me\\Documents\\");
  EXPECT_TRUE(empty.writeBack);

  // A missing key must not become a folder named "unknown value".
  auto missing = ResolveReportFolder(kUnknownValue, "C:\\Docs\\");
  EXPECT_EQ(missing.folder, "C:\\Docs\\");
  EXPECT_TRUE(missing.writeBack);
}

TEST(ResolveCheckInterval, ReadsTheLeadingNumberWithDefaults) {
  EXPECT_EQ(ResolveCheckInterval("7"), 7);
  EXPECT_EQ(ResolveCheckInterval("14 days"), 14);
  EXPECT_EQ(ResolveCheckInterval(" 3"), 3);
  EXPECT_EQ(ResolveCheckInterval("2.5"), 2);
  EXPECT_EQ(ResolveCheckInterval("3.5"), 4);
  EXPECT_EQ(ResolveCheckInterval("0"), 0);
  EXPECT_EQ(ResolveCheckInterval("-1"), -1);
  EXPECT_EQ(ResolveCheckInterval("99999999999"), INT32_MAX);
  EXPECT_EQ(ResolveCheckInterval("-1e20"), INT32_MIN);
  EXPECT_EQ(ResolveCheckInterval("&H10"), 16);
  EXPECT_EQ(ResolveCheckInterval(kUnknownValue), kDefaultCheckInterval);
  EXPECT_EQ(ResolveCheckInterval(""), kDefaultCheckInterval);
  EXPECT_EQ(ResolveCheckInterval("weekly"), kDefaultCheckInterval);
}

TEST(ResolveLastCheck, MissingOrDamagedDatesCountAsNeverChecked) {
  EXPECT_EQ(ResolveLastCheck("12/1/2026", "M/d/yyyy"), (CivilDate{2026, 12, 1}));
  EXPECT_EQ(ResolveLastCheck("1.12.2026", "dd.MM.yyyy"), (CivilDate{2026, 12, 1}));
  EXPECT_FALSE(ResolveLastCheck(kUnknownValue, "M/d/yyyy").has_value());
  EXPECT_FALSE(ResolveLastCheck("", "M/d/yyyy").has_value());
  EXPECT_FALSE(ResolveLastCheck("yesterday", "M/d/yyyy").has_value());
  EXPECT_FALSE(ResolveLastCheck("31/31/2026", "M/d/yyyy").has_value());
}

}  // namespace
}  // namespace tmr
